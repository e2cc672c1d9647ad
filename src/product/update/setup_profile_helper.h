// TSetupProfileHelper: where a user's profile folder of the product lies for a given version.
#pragma once

#include "base/text.h"

namespace nolu {

class TSetupProfileHelper {
 public:
  // Versions from this one on keep their profile in a folder named after the product; older
  // ones used "Nolu3".
  static constexpr int kProductNamedProfileVersion = 4000;

  // `app_data` (a user's application-data folder, ending with "\") + the profile folder name
  // of `version` + "\"; with an empty `app_data` (portable mode) the destination's
  // "Profile\" folder.
  static String GetProfilePath(StringView app_data, int version);
};

}  // namespace nolu
