// Text files with a byte-order mark: the encodings of INI texts and the string lists of the
// setup resources, and the hexadecimal form of byte data in INI values.
//
// Reading: EF BB BF is UTF-8, FF FE UTF-16LE, FE FF UTF-16BE; the mark is skipped. Without a
// mark the text is in the system ANSI code page (AnsiToString). Marked text that does not
// decode (malformed UTF-8) is decoded again, without its mark, in the ANSI code page: every
// byte survives and nothing is replaced silently. A dangling last byte of UTF-16 text (a file
// cut short) is dropped rather than throwing the whole text into the ANSI code page.
#pragma once

#include <string>
#include <string_view>

#include "base/text.h"

namespace nolu {

enum class TextEncoding { kAnsi, kUtf8, kUtf16LE, kUtf16BE };

// Decodes `bytes` by the rule above; `encoding` receives the encoding actually used
// (kAnsi after a fallback).
String DecodeText(std::string_view bytes, TextEncoding& encoding);

// Encodes with the mark of the encoding first (none for ANSI). Text that the ANSI code page
// cannot hold is written as UTF-16LE with its mark instead, so that no character is lost.
std::string EncodeText(StringView text, TextEncoding encoding);

// Splits a text into lines at CR LF, a lone CR, a lone LF and U+2028; a U+2028 followed by
// CR, LF or CR LF is one break. A final break adds no empty line. Empty lines are kept.
StringList SplitLines(StringView text);

// Lower-case hexadecimal, two digits per byte, no separators.
String BytesToHex(const Bytes& bytes);
// Upper- and lower-case digits; false (and `bytes` untouched) for an odd length or any
// other character.
bool HexToBytes(StringView hex, Bytes& bytes);

}  // namespace nolu
