// FindFiles: every file of a folder tree except an excluded subtree, in a stable order — the
// file lists of the profile backup (TSetupFileList::AddFolder) are built from it.
//
// The order is depth-first: a folder's files in the order the file system lists them, then
// its subfolders one after another in logical order (digit runs by value, letters ignoring
// case), each searched whole before the next.
#pragma once

#include "base/text.h"

namespace nolu {

// One search with its excluded prefix.
class TFileSearchHelper {
 public:
  // Folders whose path (with trailing backslash) begins with `excluded_prefix`, compared
  // without regard to case, are skipped with everything below them; an empty prefix excludes
  // nothing.
  explicit TFileSearchHelper(StringView excluded_prefix) : excluded_prefix_(excluded_prefix) {}

  // Appends the full path of every file below `root` to `list`. A folder that cannot be
  // listed contributes nothing. Junctions and symbolic links to folders are not entered: they
  // may lead out of the tree or back into it. Symbolic links to files are left out too: what
  // is listed is archived and deleted, and a link would be archived with its target's content,
  // which may be anyone's.
  void Search(StringView root, StringList& list) const;

  const String& ExcludedPrefix() const { return excluded_prefix_; }

 private:
  bool IsExcluded(StringView folder) const;

  String excluded_prefix_;
};

// TFileSearchHelper(excluded_prefix).Search(root, list).
void FindFiles(StringView root, StringView excluded_prefix, StringList& list);

}  // namespace nolu
