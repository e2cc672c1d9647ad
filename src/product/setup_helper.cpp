#include "product/setup_helper.h"

#include <algorithm>
#include <iterator>
#include <unordered_set>
#include <utility>
#include <vector>

#include "base/format.h"
#include "base/locale.h"
#include "base/path.h"
#include "core/safe_removal.h"
#include "platform/error_codes.h"
#include "platform/platform.h"
#include "resources/installer_errors.h"

namespace nolu {

void TSetupHelper::CopyFolder(StringView source, StringView target, bool delete_source) {
  const String from = IncludeTrailingBackslash(source);
  const String to = IncludeTrailingBackslash(target);
  if (from.empty() || to.empty() || EqualsIgnoreCase(from, to)) return;
  const auto fail = [&] {
    throw EInstallerInstallError(Format(u"Cannot copy \"%s\" to \"%s\"", {from, to}));
  };

  IFileSystem& files = CurrentPlatform().Files();
  // Folders still to copy, as (source, target) pairs; an explicit list, so that a deep tree
  // cannot exhaust the stack.
  std::vector<std::pair<String, String>> pending{{from, to}};
  std::vector<TFileEntry> entries;
  while (!pending.empty()) {
    auto [folder, copy] = std::move(pending.back());
    pending.pop_back();
    if (files.ForceFolders(copy) != kErrorSuccess) fail();
    if (files.ListFolder(folder, entries) != kErrorSuccess) fail();
    for (const TFileEntry& entry : entries) {
      const String path = folder + entry.Name;
      if (!entry.IsFolder()) {
        if (files.Copy(path, copy + entry.Name, /*fail_if_exists=*/false) != kErrorSuccess) fail();
        continue;
      }
      const String child = path + u'\\';
      // A link may lead anywhere, and a target inside the source would copy itself forever.
      if ((entry.Attributes & kAttrReparsePoint) != 0 || PathStartsWith(child, to)) continue;
      pending.emplace_back(child, copy + entry.Name + u'\\');
    }
  }
  if (delete_source) DeleteTree(from);
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
  return DeleteFolderTree(folder);
}

}  // namespace nolu
