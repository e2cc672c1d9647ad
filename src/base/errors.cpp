#include "base/errors.h"

#include "base/format.h"

namespace nolu {

const char* Exception::what() const noexcept {
  try {
    if (utf8_.empty()) utf8_ = StringToUtf8(message_);
    return utf8_.c_str();
  } catch (...) {
    return "(message not available)";
  }
}

namespace {
String OsErrorMessage(uint32_t code, StringView system_text, StringView additional) {
  String text =
      Format(u"System Error.  Code: %d.\r\n%s", {static_cast<int64_t>(code), String(system_text)});
  if (!additional.empty()) {
    text += u"\r\n";
    text += additional;
  }
  return text;
}
}  // namespace

EOSError::EOSError(uint32_t code, StringView system_text, StringView additional)
    : Exception(OsErrorMessage(code, system_text, additional)), code_(code) {}

}  // namespace nolu
