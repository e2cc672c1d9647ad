// TSetupActionPrepare: the first action of an installation after the running product has been
// closed. Before any file is extracted it saves the users' profiles and the program folder
// into a zip archive, collects everything of the previous installation that must go, lets the
// update tasks migrate the profiles and add or withdraw entries, and deletes the collected
// files and the folders they leave empty, so that extraction writes into a clean folder.
#pragma once

#include <array>

#include "base/text.h"
#include "core/setup_action.h"
#include "platform/system.h"
#include "product/update/setup_profile_info_list.h"
#include "product/update/setup_update_task.h"

namespace nolu {

class TSetupFileList;

class TSetupActionPrepare : public TSetupAction {
 public:
  static constexpr char16_t kClassName[] = u"TSetupActionPrepare";

  // Files that are not worth archiving (caches the product rebuilds, the updater); they are
  // deleted all the same.
  static constexpr std::array<StringView, 5> kNotArchived{u"AlbumArts.cache", u"AlbumArts.db",
                                                          u"AlbumArtsCache.db", u"AlbumArtCache.db",
                                                          u"UpdateInstaller.exe"};
  // How many archives of the setup's runs the backup folder keeps, this run's included: the
  // newest by the moment in their names, this run's always.
  static constexpr size_t kKeptBackups = 3;

  // In this order: profile list, update tasks, Backup, KeepUserFiles (updates), old backups,
  // obsolete files, component targets, duplicates removed, update tasks run, DeleteCollected.
  void Execute() override;
  // In a first installation there is no copy in the destination to back up or delete, and
  // mostly nothing else to change: it then lets the extraction start while the package still
  // decodes. Whatever it does find (a profile to archive, another copy's shortcuts, a
  // component's file outside the destination) waits for the package's checks first.
  bool RunsBeforeThePackageIsChecked() const override { return true; }
  // The "PageSetup" lines: destination, kind of installation, backup, and the warning about a
  // copy that is replaced rather than updated.
  void PopulateSummary(TSetupSummaryBuilder& builder) override;

  // DestPath + "!Backup\".
  static String GetBackupFolder();
  // The backup folder + "z Before install <version> [yyyy.MM.dd hh-mm-ss].zip".
  String GetBackupFileName(const TDateTime& time) const;

  const TSetupProfileInfoList& ProfileList() const { return profile_list_; }
  const TSetupUpdateTaskList& UpdateTasks() const { return update_tasks_; }

 private:
  void CreateUpdateTasks();
  TSetupFileList CreateBackupFileList() const;
  bool DestinationHoldsCopy() const;
  void Backup(StringList& removal_list);
  // "!Backup\" with the access list that its archives need.
  void CreateBackupFolder();
  void KeepUserFiles(StringList& removal_list) const;
  void CollectOldBackups(StringList& removal_list) const;
  void CollectObsoleteFiles(StringList& removal_list) const;
  void CollectComponentFiles(StringList& removal_list) const;
  void RunUpdateTasks(StringList& removal_list);
  void DeleteCollected(const StringList& removal_list);
  // One more file archived or task run: processed × 100 / total, rounded.
  void StepDone();

  TSetupProfileInfoList profile_list_;
  TSetupUpdateTaskList update_tasks_;
  String archive_;  // the archive this run wrote, if any
  int processed_ = 0;
  int total_ = 0;
};

}  // namespace nolu
