#include "product/setup_profile_info_list.h"

#include "core/setup.h"
#include "core/setup_users.h"
#include "platform/platform.h"
#include "product/setup_profile_helper.h"

namespace nolu {

void TSetupProfileInfoList::Populate() {
  items_.clear();
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
