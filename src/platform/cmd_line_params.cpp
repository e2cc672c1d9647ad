#include "platform/cmd_line_params.h"

#include "platform/platform.h"

namespace nolu {

String CmdLineParams() {
  return CmdLineParams(CurrentPlatform().System().CommandLine());
}

}  // namespace nolu
