// TSetupHelper: folder and list operations of the product actions — copying a profile folder
// to the place a new version expects it, filtering removal lists, and deleting a folder tree
// (old start-menu folders).
#pragma once

#include "base/text.h"

namespace nolu {

class TSetupHelper {
 public:
  // Copies every file and subfolder of `source` into `target` (both folders), creating
  // missing folders and overwriting existing files; with `delete_source` the source tree is
  // deleted afterwards. Nothing happens when the two name the same folder (compared without
  // regard to case). A target that lies inside the source is not copied into itself, and
  // junctions and symbolic links are not entered. The copy stops at the first failure and
  // raises EInstallerInstallError "Cannot copy "<source>" to "<target>"".
  static void CopyFolder(StringView source, StringView target, bool delete_source);

  // Removes from `list` every entry that begins with `path`, compared without regard to case.
  static void ExcludePath(StringList& list, StringView path);

  // Removes repeated entries (compared without regard to case); of equal entries the last one
  // stays, at its place.
  static void RemoveDuplicates(StringList& list);

  // Deletes every file and subfolder of `folder`, then the folder itself, and stops at the
  // first entry that cannot be deleted (DeleteFolderTree: links go as links, a protected
  // folder never goes). Best effort: returns whether the folder is gone, raises nothing.
  static bool DeleteTree(StringView folder);
};

}  // namespace nolu
