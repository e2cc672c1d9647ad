// TSetupAppRepo: the product's entry under the system's uninstall key
// (HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\<key name>), which
// lists the product in the system's programs list. Written in the 32-bit registry view, as a
// 32-bit setup's would be.
#pragma once

#include <cstdint>

#include "base/text.h"
#include "platform/registry.h"

namespace nolu {

class TSetupAppRepo {
 public:
  // The view the entry is written to (on 64-bit Windows: below "Wow6432Node").
  static constexpr RegView kEntryView = RegView::k32;

  // `name` with every blank removed.
  static String KeyName(StringView name);
  // Replaces the entry as a whole with the values of a fresh installation: the ten of the
  // programs list, then "InstallLocation" (the folder), "QuietUninstallString" (the quoted
  // uninstaller with " /AUTO /SILENT", what deployment tools run) and "EstimatedSize" (KiB,
  // `installed_bytes` rounded up). Failures are ignored; an empty key name writes nothing.
  static void Register(StringView name, StringView uninstall_exe, StringView version,
                       StringView publisher, StringView home_page, uint64_t installed_bytes);
  // Deletes the entry (of kEntryView, or of `view`) with all its sub-keys; failures are
  // ignored, an empty key name deletes nothing.
  static void Unregister(StringView name);
  static void Unregister(StringView name, RegView view);
  // The folder of the installed product (with trailing backslash) from the entry's
  // "InstallPath", else the folder of "UninstallString", else of "DisplayIcon" — the first that
  // exists; the 32-bit view first, then the 64-bit view. False when none exists, leaving
  // `path` as it was. The second form also tells in which view the entry was found.
  static bool FindInstallPath(StringView name, String& path);
  static bool FindInstallPath(StringView name, String& path, RegView& view);
};

}  // namespace nolu
