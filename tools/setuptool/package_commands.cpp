#include "setuptool/commands.h"
#include "setuptool/console.h"

namespace nolu::tool {
namespace {
int NotYet() {
  PrintError(u"setuptool: this command is not available in this build yet");
  return 1;
}
}  // namespace

int PackCommand(const StringList&) { return NotYet(); }
int ListCommand(const StringList&) { return NotYet(); }
int ExtractCommand(const StringList&) { return NotYet(); }
int CatCommand(const StringList&) { return NotYet(); }
int VerifyCommand(const StringList&) { return NotYet(); }

}  // namespace nolu::tool
