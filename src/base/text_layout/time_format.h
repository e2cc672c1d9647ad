// TRuxTimeFormat: the syntax of the time codes that a text can link to ("time:" links).
//
// A time code is minutes and seconds, optionally preceded by hours and followed by a
// fraction, with nothing else around it:
//
//   M:SS          minutes (1 to 9 digits, any value) and seconds          "4:05", "90:00"
//   H:MM:SS       hours (1 to 9 digits), minutes and seconds 00 to 59     "1:02:03"
//   ... .F        either form with "." and 1 to 3 digits of a second      "4:05.250"
//
// Seconds, and minutes after hours, are exactly two digits from 00 to 59; no sign, no
// blanks. "4:5", "4:60", "1:2:03" and "4:05." are not time codes.
#pragma once

#include <cstdint>
#include <optional>

#include "base/text.h"

namespace nolu {

class TRuxTimeFormat {
 public:
  // The time in milliseconds, or nothing when the text is not a time code.
  static std::optional<int64_t> Parse(StringView text);
};

}  // namespace nolu
