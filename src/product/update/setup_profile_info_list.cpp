#include "product/update/setup_profile_info_list.h"

#include "core/folder_chain.h"
#include "core/setup.h"
#include "core/setup_users.h"
#include "platform/error_codes.h"
#include "product/update/setup_profile_helper.h"

namespace nolu {

void TSetupProfileInfoList::Populate() {
  items_.clear();
  // Without a copy here the profiles found belong to a copy elsewhere (version 0 would even
  // name the folder that every 3.x copy shares): none is this run's to archive or remove.
  if (Setup()->ProductInfo().GetInstalledVersion() <= 0) return;
  if (Setup()->Flags() & sfPortable) {
    Add(u"SingleUser", u"", Setup()->DestPath());
    return;
  }
  TSetupUsers::Populate(
      [this](const TSetupUser& user) { Add(user.Name, user.AppData, user.ProfileFolder); });
}

void TSetupProfileInfoList::Add(StringView user_name, StringView app_data, StringView root) {
  TSetupProductInfo& info = Setup()->ProductInfo();
  TSetupProfileInfo profile;
  profile.UserName = String(user_name);
  profile.TargetPath = TSetupProfileHelper::GetProfilePath(app_data, info.GetProductVersionId());
  profile.SourcePath = TSetupProfileHelper::GetProfilePath(app_data, info.GetInstalledVersion());
  profile.RootPath = String(root);
  TFolderChain chain;
  if (chain.Hold(root, profile.SourcePath) == kErrorSuccess &&
      chain.HoldExisting(root, profile.TargetPath) == kErrorSuccess) {
    items_.push_back(std::move(profile));
  }
}

}  // namespace nolu
