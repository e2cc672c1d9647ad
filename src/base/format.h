// Format: the printf-like templates of the language files and of the system's messages.
//
// Supported specifiers: %s (a text), %d (an integer) and %% (a percent sign). Templates come
// from language files that vendors and translators edit, so a template that does not fit its
// arguments raises EConvertError with a clear message instead of crashing: an unknown
// specifier, a %s given an integer or a %d given a text, or fewer arguments than specifiers.
// Extra arguments are ignored, so a translation may leave a placeholder out.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <variant>

#include "base/text.h"

namespace nolu {

class FormatArg {
 public:
  FormatArg(int value) : value_(static_cast<int64_t>(value)) {}
  FormatArg(unsigned value) : value_(static_cast<int64_t>(value)) {}
  FormatArg(long value) : value_(static_cast<int64_t>(value)) {}
  FormatArg(long long value) : value_(static_cast<int64_t>(value)) {}
  FormatArg(unsigned long value) : value_(static_cast<int64_t>(value)) {}
  FormatArg(unsigned long long value) : value_(static_cast<int64_t>(value)) {}
  FormatArg(StringView value) : value_(String(value)) {}
  FormatArg(const String& value) : value_(value) {}
  FormatArg(const Char* value) : value_(String(value)) {}

  bool IsText() const { return std::holds_alternative<String>(value_); }
  const String& Text() const { return std::get<String>(value_); }
  int64_t Integer() const { return std::get<int64_t>(value_); }

 private:
  std::variant<int64_t, String> value_;
};

String Format(StringView pattern, std::initializer_list<FormatArg> args);

}  // namespace nolu
