// Host implementation of the locale services: the simple case mapping of glibc's built-in
// C.UTF-8 locale (Unicode's UnicodeData mappings, one code point to one code point), and
// Windows-1252 standing in for the ANSI code page.
#include <errno.h>
#include <iconv.h>
#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <string>

#include "base/locale.h"

namespace nolu {
namespace {

locale_t Utf8Locale() {
  // Created once and never changed; C.UTF-8 is built into glibc 2.35 and later.
  static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  return locale;
}

Char FoldChar(Char c) {
  if (c < 0x80) return (c >= u'a' && c <= u'z') ? static_cast<Char>(c - 32) : c;
  // Surrogate halves are left alone: the Windows comparison folds code units, not pairs.
  if (c >= 0xD800 && c <= 0xDFFF) return c;
  const locale_t locale = Utf8Locale();
  if (!locale) return c;
  const wint_t upper = towupper_l(c, locale);
  // Mappings that leave the BMP or map into the surrogate range cannot be one code unit.
  if (upper > 0xFFFF || (upper >= 0xD800 && upper <= 0xDFFF)) return c;
  return static_cast<Char>(upper);
}

}  // namespace

bool EqualsIgnoreCase(StringView a, StringView b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && FoldChar(a[i]) != FoldChar(b[i])) return false;
  }
  return true;
}

int CompareIgnoreCase(StringView a, StringView b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const Char x = FoldChar(a[i]), y = FoldChar(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

String UpperCase(StringView text) {
  String out(text);
  for (Char& c : out)
    c = FoldChar(c);
  return out;
}

String AnsiToString(std::string_view bytes) {
  return Windows1252ToString(bytes);
}

std::string StringToAnsi(StringView text) {
  return StringToWindows1252(text);
}

namespace {

// The name under which iconv knows a Windows code page.
std::string IconvName(uint32_t code_page) {
  switch (code_page) {
    case 20127:
      return "ASCII";
    case 20866:
      return "KOI8-R";
    case 21866:
      return "KOI8-U";
    case 20932:
      return "EUC-JP";
    case 51949:
      return "EUC-KR";
    case 54936:
      return "GB18030";
    case 10000:
      return "MACINTOSH";
    case 65001:
      return "UTF-8";
    default:
      break;
  }
  if (code_page > 28590 && code_page <= 28606)
    return "ISO-8859-" + std::to_string(code_page - 28590);
  return "CP" + std::to_string(code_page);
}

}  // namespace

TCodePageDecoding DecodeCodePage(uint32_t code_page, std::string_view bytes, String& text) {
  const iconv_t converter = iconv_open("UTF-16LE", IconvName(code_page).c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) return TCodePageDecoding::kUnknownCodePage;
  // One byte gives at most two UTF-16 code units (a surrogate pair) plus a shift sequence.
  std::string out(bytes.size() * 4 + 8, '\0');
  char* in_at = const_cast<char*>(bytes.data());
  size_t in_left = bytes.size();
  char* out_at = out.data();
  size_t out_left = out.size();
  size_t result = iconv(converter, &in_at, &in_left, &out_at, &out_left);
  if (result != static_cast<size_t>(-1))
    result = iconv(converter, nullptr, nullptr, &out_at, &out_left);
  iconv_close(converter);
  // A character that iconv replaced by its own choice ("irreversible") is no strict decoding.
  if (result != 0 || in_left != 0) return TCodePageDecoding::kInvalidText;
  const size_t units = (out.size() - out_left) / 2;
  String decoded(units, u'\0');
  for (size_t i = 0; i < units; ++i) {
    decoded[i] = static_cast<Char>(static_cast<uint8_t>(out[2 * i]) |
                                   static_cast<uint8_t>(out[2 * i + 1]) << 8);
  }
  text = std::move(decoded);
  return TCodePageDecoding::kDecoded;
}

bool IsAnsiRepresentable(StringView text) {
  return Windows1252ToString(StringToWindows1252(text)) == text;
}

Char UserDecimalSeparator() {
  return u'.';
}

}  // namespace nolu
