#include "core/file_search_helper.h"

#include <algorithm>
#include <vector>

#include "base/natural_compare.h"
#include "base/path.h"
#include "platform/platform.h"

namespace nolu {

bool TFileSearchHelper::IsExcluded(StringView folder) const {
  return !excluded_prefix_.empty() && PathStartsWith(folder, excluded_prefix_);
}

void TFileSearchHelper::Search(StringView root, StringList& list) const {
  IFileSystem& files = CurrentPlatform().Files();
  // An explicit stack instead of recursion: a deep tree must not exhaust the worker's stack.
  // Subfolders are pushed in reverse so that they come off in logical order.
  std::vector<String> pending{IncludeTrailingBackslash(root)};
  std::vector<TFileEntry> entries;
  StringList subfolders;
  while (!pending.empty()) {
    const String folder = std::move(pending.back());
    pending.pop_back();
    if (folder.empty() || IsExcluded(folder)) continue;
    if (files.ListFolder(folder, entries) != 0) continue;
    subfolders.clear();
    for (const TFileEntry& entry : entries) {
      if ((entry.Attributes & kAttrReparsePoint) != 0) continue;
      if (entry.IsFolder()) {
        subfolders.push_back(entry.Name);
      } else {
        list.push_back(folder + entry.Name);
      }
    }
    SortLogical(subfolders);
    for (auto it = subfolders.rbegin(); it != subfolders.rend(); ++it) {
      pending.push_back(folder + *it + u"\\");
    }
  }
}

void FindFiles(StringView root, StringView excluded_prefix, StringList& list) {
  TFileSearchHelper(excluded_prefix).Search(root, list);
}

}  // namespace nolu
