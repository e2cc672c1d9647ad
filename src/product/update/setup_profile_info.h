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
  // The folder that ordinary users cannot replace above both: the user's profile folder
  // ("C:\Users\Bob\"), or the destination in portable mode. Everything the run does in the
  // two folders is checked for links from here (core/folder_chain.h).
  String RootPath;

  friend bool operator==(const TSetupProfileInfo&, const TSetupProfileInfo&) = default;
};

}  // namespace nolu
