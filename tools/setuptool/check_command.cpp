#include "setuptool/commands.h"
#include "setuptool/console.h"

namespace nolu::tool {

int CheckCommand(const StringList&) {
  PrintError(u"setuptool: this command is not available in this build yet");
  return 1;
}

}  // namespace nolu::tool
