#include "product/setup_profile_info_list.h"

#include "core/setup.h"
#include "core/setup_users.h"
#include "platform/platform.h"
#include "product/setup_profile_helper.h"

namespace nolu {

void TSetupProfileInfoList::Populate() {
  items_.clear();
  // Without a copy here the profiles found belong to a copy elsewhere (version 0 would even
  // name the folder that every 3.x copy shares): none is this run's to archive or remove.
  if (Setup()->ProductInfo().GetInstalledVersion() <= 0) return;
  if (Setup()->Flags() & sfPortable) {
    Add(u"SingleUser", u"");
    return;
  }
  TSetupUsers::Populate(
      [this](const String& user_name, const String& app_data) { Add(user_name, app_data); });
}

void TSetupProfileInfoList::Add(StringView user_name, StringView app_data) {
  TSetupProductInfo& info = Setup()->ProductInfo();
  TSetupProfileInfo profile;
  profile.UserName = String(user_name);
  profile.TargetPath = TSetupProfileHelper::GetProfilePath(app_data, info.GetProductVersionId());
  profile.SourcePath = TSetupProfileHelper::GetProfilePath(app_data, info.GetInstalledVersion());
  if (CurrentPlatform().Files().FolderExists(profile.SourcePath)) {
    items_.push_back(std::move(profile));
  }
}

}  // namespace nolu
