// TSetupUpdateTaskUpdateConfigs: carries one user's profile over to the version being
// installed — copies it to the folder the new version uses, keeps that folder off the removal
// list, and migrates the configuration files of older versions (renames and drops by version
// threshold).
#pragma once

#include "product/update/setup_profile_info.h"
#include "product/update/setup_update_task.h"

namespace nolu {

class TSetupUpdateTaskUpdateConfigs : public TSetupUpdateTask {
 public:
  // `profile` belongs to the preparation action's profile list, which outlives the task.
  explicit TSetupUpdateTaskUpdateConfigs(const TSetupProfileInfo& profile) : profile_(profile) {}

  // Raises EInstallerInstallError when the profile cannot be copied and the system's error when
  // a configuration file of a version before 4.00 cannot be renamed; both end the run before
  // anything of the removal list is deleted.
  void Execute(StringList* removal_list) override;

  // Appends every file of the tree of `folder` (if it exists) to `removal_list`.
  static void DoDeleteDir(StringList* removal_list, StringView folder);

  const TSetupProfileInfo& Profile() const { return profile_; }

 private:
  const TSetupProfileInfo& profile_;
};

}  // namespace nolu
