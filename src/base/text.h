// The system's text type and conversions at the edges.
//
// Text inside the system is UTF-16, like the Windows API: package entry names, INI lines,
// length limits and WM_COPYDATA byte counts are all counted in UTF-16 code units. Convert to
// UTF-8 only at the edges (host file system, console, test output).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nolu {

using Char = char16_t;
using String = std::u16string;
using StringView = std::u16string_view;
using StringList = std::vector<String>;
using Bytes = std::vector<uint8_t>;

// Decodes UTF-8; invalid or truncated sequences become U+FFFD each.
String Utf8ToString(std::string_view utf8);
// Strict variant: false (and `out` unspecified) when `utf8` is not well-formed UTF-8.
bool TryUtf8ToString(std::string_view utf8, String& out);
// Encodes UTF-16; an unpaired surrogate becomes U+FFFD.
std::string StringToUtf8(StringView text);

// ASCII-only helpers for literals in code and tests ("abc" -> u"abc").
String AsciiToString(std::string_view ascii);

// Decodes Windows-1252, the host's stand-in for the system ANSI code page (bytes 0x81,
// 0x8D, 0x8F, 0x90 and 0x9D map to the C1 controls of the same value, as Windows does).
String Windows1252ToString(std::string_view bytes);
// Encodes Windows-1252; characters outside it become '?'.
std::string StringToWindows1252(StringView text);

// Decimal text of an integer, and the reverse. TryStrToInt accepts an optional sign
// followed by decimal digits and nothing else (no blanks); false on overflow of int64.
String IntToStr(int64_t value);
bool TryStrToInt(StringView text, int64_t& value);
// Decimal text of `value` with zeros in front up to `width` digits (dates: "2024", "03").
String ZeroPadded(int64_t value, size_t width);

// Removes leading and trailing characters below U+0021 (blank and control characters).
String TrimControls(StringView text);

// Same length and equal after folding the ASCII letters a to z (names of formats, such as
// XML element names and markup tags, whose case rule is not the user's locale's).
bool EqualsAsciiIgnoreCase(StringView a, StringView b);

bool StartsWith(StringView text, StringView prefix);
bool EndsWith(StringView text, StringView suffix);
// Replaces every occurrence of `from` (case-sensitive) by `to`.
String ReplaceAll(StringView text, StringView from, StringView to);
String JoinStrings(const StringList& items, StringView separator);

}  // namespace nolu
