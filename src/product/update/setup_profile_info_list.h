// TSetupProfileInfoList: the profile folders of an installed copy that an installation backs up
// and an update migrates: every user's (or, in portable mode, the one in the destination).
#pragma once

#include <cstddef>
#include <vector>

#include "product/update/setup_profile_info.h"

namespace nolu {

class TSetupProfileInfoList {
 public:
  // Replaces the list: in portable mode the single user "SingleUser" with the destination's
  // profile folder, otherwise every user that TSetupUsers reports. A user is listed only when
  // the installed version's profile folder (SourcePath) exists, and when neither it nor the
  // new one (TargetPath) is reached through a junction or symbolic link from RootPath: the
  // run would back up, copy, rename and delete wherever that leads. Without an installed copy
  // in the destination (version 0) the list stays empty.
  void Populate();

  size_t Count() const { return items_.size(); }
  const TSetupProfileInfo& Items(size_t index) const { return items_[index]; }
  const std::vector<TSetupProfileInfo>& All() const { return items_; }

 private:
  void Add(StringView user_name, StringView app_data, StringView root);

  std::vector<TSetupProfileInfo> items_;
};

}  // namespace nolu
