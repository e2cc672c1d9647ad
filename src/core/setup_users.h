// TSetupUsers: the user profiles of the machine with each user's application-data folder, for
// the per-user product profiles that an installation backs up and migrates and a removal
// deletes.
#pragma once

#include <functional>

#include "base/text.h"

namespace nolu {

// `user_name` is the last component of the user's profile folder; `app_data` the user's
// application-data folder, ending with a backslash.
using TSetupUserCallback = std::function<void(const String& user_name, const String& app_data)>;

class TSetupUsers {
 public:
  // Reports the current user first, then every profile of the registry's profile list whose
  // folder exists ("<sid>.bak" keys skipped). A user whose registry hive is not loaded gets the
  // default user's application-data folder with "%USERPROFILE%" replaced by the user's profile
  // folder. An application-data folder is reported once: the profile list normally holds the
  // current user too, and a second report would make the callers back up, migrate and delete
  // the same folder twice. Unreadable keys or values skip the profile; nothing raises.
  static void Populate(const TSetupUserCallback& callback);
};

}  // namespace nolu
