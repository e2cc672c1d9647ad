// The program's parameters: the parameter part of the process command line and the queries
// for single switches. Every query parses the parameter text again; nothing is cached, so the
// text stays the one source of truth (it is also what the program re-sends when it restarts
// itself).
#pragma once

#include "base/text.h"

namespace nolu {

// The parameter part of a raw process command line: everything after the program path,
// trimmed of characters below U+0021. The program path is split off as the system does when
// it starts the process: a path in double quotes runs to the closing quote (or, without one,
// to the end), an unquoted path to the first blank or tab. An empty command line gives an empty
// result. (The platform layer supplies the form without arguments, from GetCommandLineW.)
String CmdLineParams(StringView command_line);

// Finds the first switch of `params` whose name equals `name` (EqualsIgnoreCase). If found,
// `value` becomes its values joined with ";" (empty when it has none) and the result is true;
// otherwise `value` becomes empty and the result is false.
bool GetSwitchValue(StringView params, StringView name, String& value);

bool HasSwitch(StringView params, StringView name);

}  // namespace nolu
