#include "core/setup_active_x.h"

#include "platform/platform.h"

namespace nolu {

void TSetupActiveX::CallExport(StringView library, std::string_view name) {
  // The platform loads by full path with the library's own folder first in the search for its
  // dependencies, so the process's current folder is never switched (other threads may rely
  // on it). The outcome is deliberately not looked at.
  CurrentPlatform().Processes().CallLibraryExport(library, name);
}

void TSetupActiveX::UnregisterServer(StringView library) {
  CallExport(library, "DllUnregisterServer");
}

}  // namespace nolu
