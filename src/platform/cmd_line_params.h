// The program's own parameters: the zero-argument CmdLineParams, which takes the raw command
// line of the running process from the installed platform (GetCommandLineW on Windows, the
// line a test sets on the fake) and splits off the program path as base/command_line.h does.
#pragma once

#include "base/command_line.h"

namespace nolu {

String CmdLineParams();

}  // namespace nolu
