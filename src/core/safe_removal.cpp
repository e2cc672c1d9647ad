#include "core/safe_removal.h"

#include <vector>

#include "base/path.h"
#include "core/file_operations.h"
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

bool PassesThroughLink(StringView root, StringView path) {
  IFileSystem& files = CurrentPlatform().Files();
  for (size_t end = path.find(u'\\', root.size()); end != StringView::npos;
       end = path.find(u'\\', end + 1)) {
    const uint32_t attributes = files.Attributes(path.substr(0, end));
    if (attributes == kInvalidAttributes || IsLink(attributes)) return true;
  }
  return false;
}

void DeleteFileBelow(StringView root, StringView path) {
  if (PassesThroughLink(root, path)) return;
  IFileSystem& files = CurrentPlatform().Files();
  const uint32_t attributes = files.Attributes(path);
  if (attributes == kInvalidAttributes || (attributes & kAttrDirectory)) return;
  if (IsLink(attributes)) {
    files.Delete(path);  // best effort, like every removal of the uninstaller
    return;
  }
  DeleteFileOrDefer(path);
}

bool DeleteFolderTree(StringView folder) {
  IFileSystem& files = CurrentPlatform().Files();
  const String top = ExcludeTrailingBackslash(folder);
  // A whole volume is never a product folder, whatever a record or a setting says.
  if (top.empty() || IsVolumeRoot(top)) return false;
  const uint32_t top_attributes = files.Attributes(top);
  if (top_attributes == kInvalidAttributes) return true;
  if (!(top_attributes & kAttrDirectory)) return false;

  // Depth first with a stack of its own: a tree may be nested deeper than a thread's stack.
  struct Frame {
    String path;
    uint32_t attributes;
    std::vector<TFileEntry> entries;
    size_t next = 0;
  };
  std::vector<Frame> stack;
  // Starts on a folder: a link goes at once and is never listed.
  auto enter = [&](String path, uint32_t attributes) {
    if (IsLink(attributes)) return files.RemoveFolder(path) == kErrorSuccess;
    Frame frame{std::move(path), attributes, {}, 0};
    if (files.ListFolder(frame.path, frame.entries) != kErrorSuccess) return false;
    stack.push_back(std::move(frame));
    return true;
  };

  if (!enter(top, top_attributes)) return false;
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.next == frame.entries.size()) {
      if (frame.attributes & kAttrReadOnly) files.SetAttributes(frame.path, 0);
      if (files.RemoveFolder(frame.path) != kErrorSuccess) return false;
      stack.pop_back();
      continue;
    }
    const TFileEntry& entry = frame.entries[frame.next++];
    String child = frame.path + u"\\" + entry.Name;
    const uint32_t attributes = entry.Attributes;
    const bool done = entry.IsFolder() ? enter(std::move(child), attributes)
                                       : DeleteTreeFile(files, child, attributes);
    if (!done) return false;
  }
  return true;
}

}  // namespace nolu
