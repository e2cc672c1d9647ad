// The commands of setuptool. Each takes the arguments after its name and returns the exit
// code (0 success, non-zero failure after one clear message line on stderr).
#pragma once

#include "base/text.h"

namespace nolu::tool {

int PackCommand(const StringList& args);
int ListCommand(const StringList& args);
int ExtractCommand(const StringList& args);
int CatCommand(const StringList& args);
int VerifyCommand(const StringList& args);
int TableCommand(const StringList& args);
int CheckCommand(const StringList& args);

}  // namespace nolu::tool
