#include "core/extract_journal.h"

#include <algorithm>
#include <vector>

#include "base/path.h"
#include "platform/platform.h"

namespace nolu {

void TExtractJournal::NoteFolders(StringView folder) {
  IFileSystem& files = CurrentPlatform().Files();
  String path = ExcludeTrailingBackslash(folder);
  // The files of a product share a few folders: each is asked about once.
  while (!path.empty() && seen_folders_.insert(path).second) {
    if (files.FolderExists(IncludeTrailingBackslash(path))) return;
    folders_.insert(path);
    const String parent = ExcludeTrailingBackslash(ExtractFilePath(path));
    if (parent.size() >= path.size()) return;
    path = parent;
  }
}

void TExtractJournal::NoteFile(StringView path) {
  files_.emplace_back(path);
}

void TExtractJournal::Undo() noexcept {
  try {
    IFileSystem& files = CurrentPlatform().Files();
    for (const String& file : files_)
      files.Delete(file);
    // A child's path is longer than its parent's: the longest go first.
    std::vector<String> folders(folders_.begin(), folders_.end());
    std::stable_sort(folders.begin(), folders.end(),
                     [](const String& a, const String& b) { return a.size() > b.size(); });
    for (const String& folder : folders)
      files.RemoveFolder(folder);
  } catch (...) {
    // Best effort: the run fails with the package's error whatever is left.
  }
  files_.clear();
  folders_.clear();
  seen_folders_.clear();
}

}  // namespace nolu
