// TSetupProfileInfo: one profile folder of the product — where the installed version keeps it
// and where the version being installed expects it.
#pragma once

#include "base/text.h"

namespace nolu {

struct TSetupProfileInfo {
  // The last component of the user's profile folder, or "SingleUser" in portable mode.
  String UserName;
  // The profile folder of the version being installed.
  String TargetPath;
  // The profile folder of the installed version (may equal TargetPath).
  String SourcePath;

  friend bool operator==(const TSetupProfileInfo&, const TSetupProfileInfo&) = default;
};

}  // namespace nolu
