// TSetupActiveX: calls the self-registration exports of COM libraries (the product's shell
// menu libraries unregister themselves before an update replaces them).
#pragma once

#include <string_view>

#include "base/text.h"

namespace nolu {

class TSetupActiveX {
 public:
  // Loads the library at the full path `library` without critical-error dialogs and calls its
  // parameterless export `name`. A library that does not load (missing, or built for the
  // other processor width) or lacks the export is passed over silently: registration is a
  // courtesy to the shell, never a reason to stop a run.
  static void CallExport(StringView library, std::string_view name);
  // CallExport(library, "DllUnregisterServer").
  static void UnregisterServer(StringView library);
};

}  // namespace nolu
