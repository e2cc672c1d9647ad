// TSetupHelper: folder and list operations of the product actions — copying a profile folder
// to the place a new version expects it, filtering removal lists, and deleting a folder tree
// (old start-menu folders).
#pragma once

#include "base/text.h"

namespace nolu {

class TSetupHelper {
 public:
  // Copies every file and subfolder of `source` into `target` (both folders below `root`, a
  // folder that ordinary users cannot replace), creating missing folders and replacing
  // existing files; with `delete_source` the source tree is deleted afterwards. Nothing
  // happens when the two name the same folder (compared without regard to case). A target
  // that lies inside the source is not copied into itself.
  //
  // Both trees may belong to an ordinary user while the run is elevated, so nothing may lead
  // the copy elsewhere: every folder of both is held from `root` on while it is read or
  // written (core/folder_chain.h); junctions and symbolic links in the source are not
  // entered, files that are links not copied; an existing target file is deleted and the new
  // one created in its place, never written through (a link or a second name of a file that
  // lies elsewhere). The copy stops at the first failure — a link on the way to the target
  // among them — and raises EInstallerInstallError "Cannot copy "<source>" to "<target>"".
  static void CopyFolder(StringView root, StringView source, StringView target, bool delete_source);

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
