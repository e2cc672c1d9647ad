// The readers of markup tag parameters: colours of "COLOR" and "BACKCOLOR", sizes of "SIZE".
// Blanks and control characters around a parameter are ignored.
#pragma once

#include "base/color.h"
#include "base/text.h"
#include "base/text_layout/text_layout_block.h"

namespace nolu {

// A colour by name, else by hexadecimal digits:
//   1. a framework colour identifier ("clRed"), then the same with "cl" put in front
//      ("Red"), then a CSS colour keyword ("Orange") (base/named_colors.h);
//   2. otherwise hexadecimal: lower-cased, every character other than 0-9 and a-f dropped,
//      a "0" put in front when the count is odd, "0"s appended up to six digits, and the
//      first three pairs read as red, green and blue. "#FF8000" is (255, 128, 0), "F80" reads
//      as 0F8000, and an empty or digitless parameter gives black.
TRuxColor ColorFromTagParameter(StringView parameter);

// The size of a "SIZE" tag: an integer (optional sign, decimal digits) is an absolute size
// in points (saturated to the range of int); otherwise a decimal number (optional sign,
// digits with one decimal separator, at least one digit) is a factor, with either
// `decimal_separator` or "." as separator; anything else is the factor 1.0.
TRuxFontSizeValue FontSizeFromTagParameter(StringView parameter, Char decimal_separator);

}  // namespace nolu
