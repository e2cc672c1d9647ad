// Host implementation of the locale services: the simple case mapping of glibc's built-in
// C.UTF-8 locale (Unicode's UnicodeData mappings, one code point to one code point), and
// Windows-1252 standing in for the ANSI code page.
#include <locale.h>
#include <wctype.h>

#include <algorithm>

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

bool IsAnsiRepresentable(StringView text) {
  return Windows1252ToString(StringToWindows1252(text)) == text;
}

Char UserDecimalSeparator() {
  return u'.';
}

}  // namespace nolu
