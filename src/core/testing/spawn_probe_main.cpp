// nolu_spawn_probe: plays the elevated instance for the spawn service's test between two
// processes. "nolu_spawn_probe <window> <path>" sends <path> to the spawn window <window> of
// the waiting instance and exits with 0 (1 on bad arguments).
#include <cstdint>

#include "base/text.h"
#include "core/setup_spawn_service.h"
#include "platform/platform.h"
#include "platform/win32/win32_platform.h"

int wmain(int argc, wchar_t** argv) {
  using namespace nolu;
  if (argc != 3) return 1;
  const String window(reinterpret_cast<const char16_t*>(argv[1]));
  const String path(reinterpret_cast<const char16_t*>(argv[2]));
  int64_t id = 0;
  if (!TryStrToInt(window, id) || id <= 0) return 1;
  TWin32Platform platform;
  PlatformScope scope(platform);
  TSetupSpawnService::Initialize(TWindowId{static_cast<uint64_t>(id)});
  TSetupSpawnService::Spawn(path);
  TSetupSpawnService::Finalize();
  return 0;
}
