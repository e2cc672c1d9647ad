// The Windows code page of a character encoding's name as XML declarations and other text
// formats write it ("windows-1251", "KOI8-R", "ISO-8859-5", "Shift_JIS", "cp866", ...).
#pragma once

#include <cstdint>
#include <string_view>

namespace nolu {

// The code page, or 0 when the name is none that this table knows. Names compare ignoring
// ASCII case. "windows-N", "cpN", "x-cpN", "ibmN" and "msN" give N; "ISO-8859-N" gives
// 28590 + N; the others come from a table of the common names of their code pages.
uint32_t CodePageOfEncodingName(std::string_view name);

}  // namespace nolu
