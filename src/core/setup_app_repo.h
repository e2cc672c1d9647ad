// TSetupAppRepo: the product's entry under the system's uninstall key
// (HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\<key name>), which
// lists the product in the system's programs list. Written in the 32-bit registry view, as a
// 32-bit setup's would be.
#pragma once

#include "base/text.h"

namespace nolu {

class TSetupAppRepo {
 public:
  // `name` with every blank removed.
  static String KeyName(StringView name);
  // Replaces the entry as a whole with the ten values of a fresh installation. Failures are
  // ignored; an empty key name writes nothing.
  static void Register(StringView name, StringView uninstall_exe, StringView version,
                       StringView publisher, StringView home_page);
  // Deletes the entry with all its sub-keys; failures are ignored.
  static void Unregister(StringView name);
  // The folder of the installed product (with trailing backslash) from the entry's
  // "InstallPath", else the folder of "UninstallString", else of "DisplayIcon" — the first that
  // exists; the 32-bit view first, then the 64-bit view. False when none exists.
  static bool FindInstallPath(StringView name, String& path);
};

}  // namespace nolu
