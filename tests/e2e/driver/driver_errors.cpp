#include "driver_errors.h"

#include <cstdio>

namespace nolu::driver {
namespace {

String CodeText(int64_t code) {
  char number[32];
  if (code < 0) {
    // A failed HRESULT reads best in hexadecimal, as the headers list it.
    std::snprintf(number, sizeof number, "0x%08llx",
                  static_cast<unsigned long long>(code) & 0xffffffffULL);
  } else {
    std::snprintf(number, sizeof number, "%lld", static_cast<long long>(code));
  }
  return AsciiToString(number);
}

}  // namespace

SystemFailure::SystemFailure(StringView what, int64_t code)
    : Exception(String(what) + u" failed (system error " + CodeText(code) + u")") {}

}  // namespace nolu::driver
