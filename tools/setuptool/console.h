// Console output of the tools: UTF-8 on both builds, one message line per failure.
#pragma once

#include "base/text.h"

namespace nolu::tool {

void Print(StringView text);       // stdout, no line end added
void PrintLine(StringView text);   // stdout, with "\n"
void PrintError(StringView text);  // stderr, with "\n"

}  // namespace nolu::tool
