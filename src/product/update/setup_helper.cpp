#include "product/update/setup_helper.h"

#include <algorithm>
#include <iterator>
#include <unordered_set>
#include <utility>
#include <vector>

#include "base/format.h"
#include "base/locale.h"
#include "base/path.h"
#include "core/folder_chain.h"
#include "core/safe_removal.h"
#include "platform/error_codes.h"
#include "platform/platform.h"
#include "resources/installer_errors.h"

namespace nolu {

namespace {

// Puts a copy of `source` at `target`: what was there goes first, so that the copy is a new
// file and nothing is written through a link or into a file that has a second name elsewhere.
bool CopyAsNewFile(IFileSystem& files, const String& source, const String& target) {
  const uint32_t existing = files.Attributes(target);
  if (existing != kInvalidAttributes) {
    if ((existing & kAttrDirectory) || files.Delete(target) != kErrorSuccess) return false;
  }
  return files.Copy(source, target, /*fail_if_exists=*/true) == kErrorSuccess;
}

}  // namespace

void TSetupHelper::CopyFolder(StringView root, StringView source, StringView target,
                              bool delete_source) {
  const String from = IncludeTrailingBackslash(source);
  const String to = IncludeTrailingBackslash(target);
  if (from.empty() || to.empty() || EqualsIgnoreCase(from, to)) return;
  const auto fail = [&] {
    throw EInstallerInstallError(Format(u"Cannot copy \"%s\" to \"%s\"", {from, to}));
  };

  IFileSystem& files = CurrentPlatform().Files();
  // The folder being read and the one being written, each held with the way to it.
  TFolderChain reading, writing;
  if (reading.Hold(root, from) != kErrorSuccess ||
      writing.HoldCreating(root, to) != kErrorSuccess) {
    fail();
  }
  // Depth first with a stack of its own, so that a deep tree cannot exhaust the thread's.
  struct Frame {
    std::vector<TFileEntry> entries;
    size_t next = 0;
  };
  std::vector<Frame> stack(1);
  if (files.ListFolder(reading.Path(), stack.back().entries) != kErrorSuccess) fail();
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.next == frame.entries.size()) {
      stack.pop_back();
      if (!stack.empty()) {
        reading.Leave();
        writing.Leave();
      }
      continue;
    }
    const TFileEntry entry = frame.entries[frame.next++];
    const bool link = (entry.Attributes & kAttrReparsePoint) != 0;
    if (!entry.IsFolder()) {
      if (!link &&
          !CopyAsNewFile(files, reading.Path() + entry.Name, writing.Path() + entry.Name)) {
        fail();
      }
      continue;
    }
    // A link may lead anywhere, and a target inside the source would copy itself forever.
    if (link || PathStartsWith(reading.Path() + entry.Name + u'\\', to)) continue;
    const uint32_t entered = reading.Enter(entry.Name);
    if (entered == kErrorReparsePoint) continue;  // it has become a link since the listing
    if (entered != kErrorSuccess || writing.EnterOrCreate(entry.Name) != kErrorSuccess) fail();
    Frame next;
    if (files.ListFolder(reading.Path(), next.entries) != kErrorSuccess) fail();
    stack.push_back(std::move(next));
  }
  reading.Release();
  writing.Release();
  if (delete_source) DeleteFolderTree(root, from);
}

void TSetupHelper::ExcludePath(StringList& list, StringView path) {
  std::erase_if(list, [&](const String& entry) { return PathStartsWith(entry, path); });
}

void TSetupHelper::RemoveDuplicates(StringList& list) {
  std::unordered_set<String> seen;
  StringList kept;
  kept.reserve(list.size());
  for (auto it = list.rbegin(); it != list.rend(); ++it) {
    if (seen.insert(UpperCase(*it)).second) kept.push_back(std::move(*it));
  }
  list.assign(std::make_move_iterator(kept.rbegin()), std::make_move_iterator(kept.rend()));
}

bool TSetupHelper::DeleteTree(StringView folder) {
  // The folder is taken as it is named: one the shell gave, with nothing above it to check.
  return DeleteFolderTree(folder, folder);
}

}  // namespace nolu
