#include "setuptool/console.h"

#include <cstdio>

namespace nolu::tool {

void Print(StringView text) {
  const std::string utf8 = StringToUtf8(text);
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
}

void PrintLine(StringView text) {
  Print(text);
  std::fputc('\n', stdout);
}

void PrintError(StringView text) {
  const std::string utf8 = StringToUtf8(text);
  std::fprintf(stderr, "%s\n", utf8.c_str());
  std::fflush(stderr);
}

}  // namespace nolu::tool
