// TSetupUsers: the user profiles of the machine with each user's application-data folder, for
// the per-user product profiles that an installation backs up and migrates and a removal
// deletes.
#pragma once

#include <functional>

#include "base/text.h"

namespace nolu {

struct TSetupUser {
  String Name;           // the last component of the profile folder
  String ProfileFolder;  // "C:\Users\Bob\": what the system's profile list names
  String AppData;        // the application-data folder below it, ending with a backslash

  friend bool operator==(const TSetupUser&, const TSetupUser&) = default;
};

using TSetupUserCallback = std::function<void(const TSetupUser& user)>;

class TSetupUsers {
 public:
  // Reports the current user first, then every profile of the registry's profile list whose
  // folder exists ("<sid>.bak" keys skipped). A user whose registry hive is not loaded gets the
  // default user's application-data folder with "%USERPROFILE%" replaced by the user's profile
  // folder. An application-data folder is reported once: the profile list normally holds the
  // current user too, and a second report would make the callers back up, migrate and delete
  // the same folder twice. Unreadable keys or values skip the profile; nothing raises.
  //
  // The application-data folder comes from the user's own registry, which the user may change,
  // and the elevated run deletes and copies in it. So it counts only when it is a local path
  // strictly below the user's profile folder, and when neither that profile folder nor any
  // folder from there down to it is a junction or symbolic link; anything else (a server
  // path, "C:\Windows", a profile folder reached through a link) is skipped.
  static void Populate(const TSetupUserCallback& callback);

  // The application-data folder `app_data` (with a trailing backslash, in its full form) when
  // it is acceptable for the profile folder `profile_folder` as above; empty otherwise.
  static String AcceptedAppData(StringView profile_folder, StringView app_data);
};

}  // namespace nolu
