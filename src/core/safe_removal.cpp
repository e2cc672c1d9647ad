#include "core/safe_removal.h"

#include <vector>

#include "base/locale.h"
#include "base/path.h"
#include "core/file_operations.h"
#include "core/folder_chain.h"
#include "core/protected_folders.h"
#include "platform/error_codes.h"
#include "platform/platform.h"

namespace nolu {
namespace {

bool IsLink(uint32_t attributes) {
  return attributes != kInvalidAttributes && (attributes & kAttrReparsePoint) != 0;
}

// A file found in a tree: a plain file loses its read-only attribute first; a link's
// attributes stay as they are.
bool DeleteTreeFile(IFileSystem& files, const String& path, uint32_t attributes) {
  if (!IsLink(attributes) && (attributes & kAttrReadOnly)) files.SetAttributes(path, 0);
  return files.Delete(path) == kErrorSuccess;
}

// Holds the folders from `root` to the folder that contains `path`; false when one of them is
// a link, is missing or `path` is no path below `root`.
bool HoldParent(TFolderChain& chain, StringView root, StringView path) {
  const String parent = ExtractFilePath(ExcludeTrailingBackslash(path));
  return !parent.empty() && chain.Hold(root, parent) == kErrorSuccess;
}

}  // namespace

String PathBelow(StringView root, StringView relative) {
  if (root.empty() || root.back() != u'\\' || !IsContainedRelativePath(relative)) return String();
  String full;
  if (CurrentPlatform().Files().FullPathName(String(root) + String(relative), full) !=
      kErrorSuccess) {
    return String();
  }
  // The checks above leave nothing that could climb out; this one holds whatever the system's
  // own path clean-up makes of a name (a device name such as "CON" leaves the folder).
  if (full.size() <= root.size() || !PathStartsWith(full, root)) return String();
  return full;
}

void DeleteFileBelow(StringView root, StringView path) {
  TFolderChain chain;
  DeleteFileBelow(chain, root, path);
}

void DeleteFileBelow(TFolderChain& chain, StringView root, StringView path) {
  const String parent = ExtractFilePath(ExcludeTrailingBackslash(path));
  if (parent.empty() || chain.MoveTo(root, parent) != kErrorSuccess) return;
  IFileSystem& files = CurrentPlatform().Files();
  const uint32_t attributes = files.Attributes(path);
  if (attributes == kInvalidAttributes || (attributes & kAttrDirectory)) return;
  if (IsLink(attributes)) {
    files.Delete(path);  // best effort, like every removal of the uninstaller
    return;
  }
  DeleteFileOrDefer(path, attributes);
}

void RemoveEmptyFolderBelow(StringView root, StringView folder) {
  TFolderChain chain;
  RemoveEmptyFolderBelow(chain, root, folder);
}

void RemoveEmptyFolderBelow(TFolderChain& chain, StringView root, StringView folder) {
  IFileSystem& files = CurrentPlatform().Files();
  // The root is trusted as it is named (a link there goes as a link); a held folder cannot be
  // removed, so nothing stays held.
  if (EqualsIgnoreCase(IncludeTrailingBackslash(folder), IncludeTrailingBackslash(root))) {
    chain.Release();
    files.RemoveFolder(ExcludeTrailingBackslash(folder));
    return;
  }
  // The folder itself is not held (moving to its parent lets go of it when the last removal
  // was below it): a link there is removed as a link.
  const String parent = ExtractFilePath(ExcludeTrailingBackslash(folder));
  if (!parent.empty() && chain.MoveTo(root, parent) == kErrorSuccess) {
    files.RemoveFolder(ExcludeTrailingBackslash(folder));
  }
}

bool DeleteFolderTree(StringView root, StringView folder) {
  IFileSystem& files = CurrentPlatform().Files();
  const String top = ExcludeTrailingBackslash(folder);
  // A whole volume is never a product folder, whatever a record or a setting says.
  if (top.empty() || IsVolumeRoot(top) ||
      !PathStartsWith(IncludeTrailingBackslash(top), IncludeTrailingBackslash(root))) {
    return false;
  }
  const uint32_t top_attributes = files.Attributes(top);
  // A link goes as a link, whatever it leads to; any other folder that holds the system or
  // the users' files stays, whatever a record or a choice says.
  if (!IsLink(top_attributes) && IsProtectedFolder(IncludeTrailingBackslash(top))) return false;
  if (top_attributes == kInvalidAttributes) return true;
  if (!(top_attributes & kAttrDirectory)) return false;

  // The folders from the root down to the one being emptied are held, so none of them can be
  // swapped for a link while its entries are deleted.
  TFolderChain chain;
  uint32_t held = kErrorSuccess;
  if (EqualsIgnoreCase(IncludeTrailingBackslash(top), IncludeTrailingBackslash(root))) {
    held = chain.Hold(root, root);
  } else if (HoldParent(chain, root, top)) {
    held = chain.Enter(ExtractFileName(top));
  } else {
    return false;  // a link on the way: nothing of the tree is touched
  }
  // A link (or what became one) goes as a link and is never listed.
  if (held == kErrorReparsePoint) return files.RemoveFolder(top) == kErrorSuccess;
  if (held != kErrorSuccess) return false;

  // Depth first with a stack of its own: a tree may be nested deeper than a thread's stack.
  // Each frame's folder is the chain's last held folder while the frame is on top.
  struct Frame {
    String path;
    uint32_t attributes;
    std::vector<TFileEntry> entries;
    size_t next = 0;
  };
  std::vector<Frame> stack;
  auto list = [&](uint32_t attributes) {
    Frame frame{ExcludeTrailingBackslash(chain.Path()), attributes, {}, 0};
    if (files.ListFolder(frame.path, frame.entries) != kErrorSuccess) return false;
    stack.push_back(std::move(frame));
    return true;
  };

  if (!list(top_attributes)) return false;
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.next == frame.entries.size()) {
      // Let go of the folder first: a held folder cannot be removed. Its parent is still
      // held, so what goes is what was emptied (or a link put in its place, which goes alone).
      const String path = frame.path;
      const uint32_t attributes = frame.attributes;
      stack.pop_back();
      chain.Leave();
      if (attributes & kAttrReadOnly) files.SetAttributes(path, 0);
      if (files.RemoveFolder(path) != kErrorSuccess) return false;
      continue;
    }
    const TFileEntry& entry = frame.entries[frame.next++];
    const String child = frame.path + u"\\" + entry.Name;
    if (!entry.IsFolder()) {
      if (!DeleteTreeFile(files, child, entry.Attributes)) return false;
      continue;
    }
    const uint32_t entered =
        IsLink(entry.Attributes) ? kErrorReparsePoint : chain.Enter(entry.Name);
    if (entered == kErrorReparsePoint) {
      if (files.RemoveFolder(child) != kErrorSuccess) return false;  // the link alone
      continue;
    }
    if (entered != kErrorSuccess || !list(entry.Attributes)) return false;
  }
  return true;
}

}  // namespace nolu
