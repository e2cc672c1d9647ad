// TSetupActionUninstallFiles: the last action of a removal. It deletes every file that the
// installation recorded in "Uninstall.ini", then the folders of the product folder that this
// leaves empty (the product folder too), and, as the user chose on the removal page, the
// backups and the users' data.
//
// Options (section "Common" of the options store):
//   "RemoveBackups"  default true with "AUTO", else false: the backup folder "!Backup\" goes,
//                    and with "RemoveContent" the whole product folder;
//   "RemoveContent"  default false: the users' data goes — the portable profile "Profile\" (or
//                    the whole product folder, see above) and, when the product's "Nolu.ini"
//                    says "UserMode", every user's profile folder.
//
// Every removal stays inside its tree (core/safe_removal.h): a recorded path that would lead
// out of the product folder is skipped without a report, junctions and symbolic links are
// removed as links, never followed, and a folder swapped for one while the removal runs
// redirects nothing, since every folder on the way to what is deleted is held.
#pragma once

#include <vector>

#include "base/text.h"
#include "core/setup_action.h"

namespace nolu {

enum class TSetupDirMark {
  RemoveIfEmpty,  // the folder goes only when nothing is left in it
  RemoveTree,     // the folder goes with everything in it
};

struct TSetupDirItem {
  String Path;  // full path with a trailing backslash
  TSetupDirMark Mark = TSetupDirMark::RemoveIfEmpty;
  // The folder from which the way to Path is held while it goes (core/safe_removal.h):
  // DestPath for the product's folders, the user's profile folder for a user's data.
  String Root;

  friend bool operator==(const TSetupDirItem&, const TSetupDirItem&) = default;
};

class TSetupActionUninstallFiles : public TSetupAction {
 public:
  static constexpr char16_t kClassName[] = u"TSetupActionUninstallFiles";

  // Builds the folder list, then the file list; shows "Common"/"A9"; deletes the files, then
  // the folders, reporting progress over both.
  void Execute() override;

  // The full paths of the recorded files below DestPath, in record order; of entries equal
  // without regard to case the last one stays. Raises when the resources hold no
  // "Uninstall.ini".
  StringList CreateFileList() const;
  // Every subfolder of DestPath (children before their parents, siblings in listing order;
  // junctions and symbolic links left out), then what the options add, then DestPath itself
  // (removed when it is left empty). In a protected folder (core/protected_folders.h) only the
  // folders of the recorded files are swept.
  std::vector<TSetupDirItem> CreateDirsList() const;

 private:
  // The users' data that "RemoveContent" adds to the folder list.
  void PrepareContent(std::vector<TSetupDirItem>& dirs, bool remove_backups) const;
};

}  // namespace nolu
