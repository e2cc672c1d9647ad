// Locale services: the one case-insensitive comparison of names, upper-casing and the ANSI
// code page.
//
// Names of package entries, INI sections and keys and language files are compared with
// EqualsIgnoreCase: same length in UTF-16 code units and equal ignoring case under the user's
// locale. Two implementations exist, chosen by the build:
//   * Windows: CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE), LCMapStringW and CP_ACP
//     (src/platform/win32/locale_win32.cpp, the only place allowed to include <windows.h>);
//   * host: simple Unicode case folding (glibc's C.UTF-8 tables) and Windows-1252 as the ANSI
//     code page (locale_host.cpp).
// Both are tested against one table of Latin, Cyrillic, Greek and German names.
#pragma once

#include <string>

#include "base/text.h"

namespace nolu {

// True when both texts have the same number of UTF-16 code units and compare equal ignoring
// case under the user's locale.
bool EqualsIgnoreCase(StringView a, StringView b);

// Ordering ignoring case under the user's locale: negative, zero or positive.
int CompareIgnoreCase(StringView a, StringView b);

// Upper case under the user's locale, code unit for code unit (the length never changes).
// Texts that EqualsIgnoreCase calls equal have equal upper-case forms for the names the
// setup uses, so it may serve as a hash key.
String UpperCase(StringView text);

// The system ANSI code page (Windows-1252 on the host). Decoding never fails.
String AnsiToString(std::string_view bytes);
// Encoding; characters outside the code page become '?'.
std::string StringToAnsi(StringView text);
// Whether the ANSI code page can hold every character of the text unchanged.
bool IsAnsiRepresentable(StringView text);

// The decimal separator of the user's number format (Windows: LOCALE_SDECIMAL of the user's
// locale, its first character; the host: "."). Readers of numbers that people write, such as
// the markup's size factors, take it as a parameter rather than calling this themselves.
Char UserDecimalSeparator();

}  // namespace nolu
