#include "base/text_layout/tag_parameters.h"

#include <climits>

#include "base/named_colors.h"

namespace nolu {
namespace {

int HexValue(Char c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

TRuxColor ColorFromHex(StringView parameter) {
  String digits;
  for (Char c : parameter) {
    if (HexValue(c) >= 0) digits += c;
  }
  if (digits.size() % 2 != 0) digits.insert(digits.begin(), u'0');
  digits.resize(6, u'0');
  auto pair = [&](size_t i) {
    return static_cast<uint8_t>(HexValue(digits[i]) * 16 + HexValue(digits[i + 1]));
  };
  return {pair(0), pair(2), pair(4)};
}

bool IsDigit(Char c) {
  return c >= u'0' && c <= u'9';
}

}  // namespace

TRuxColor ColorFromTagParameter(StringView parameter) {
  const String name = TrimControls(parameter);
  if (auto color = ColorFromIdent(name)) return *color;
  if (auto color = ColorFromIdent(u"cl" + name)) return *color;
  if (auto color = ColorFromWebName(name)) return *color;
  return ColorFromHex(name);
}

TRuxFontSizeValue FontSizeFromTagParameter(StringView parameter, Char decimal_separator) {
  const String text = TrimControls(parameter);
  size_t pos = 0;
  const bool negative = !text.empty() && text[0] == u'-';
  if (!text.empty() && (text[0] == u'-' || text[0] == u'+')) ++pos;

  int64_t integer = 0;  // saturates above INT_MAX
  double factor = 0;
  size_t int_digits = 0;
  for (; pos < text.size() && IsDigit(text[pos]); ++pos, ++int_digits) {
    if (integer < INT_MAX) integer = integer * 10 + (text[pos] - u'0');
    factor = factor * 10 + (text[pos] - u'0');
  }
  if (pos == text.size()) {
    if (int_digits == 0) return TRuxFontSizeValue::Times(1.0);
    if (integer > INT_MAX) integer = INT_MAX;
    return TRuxFontSizeValue::InPoints(static_cast<int>(negative ? -integer : integer));
  }

  if (text[pos] != decimal_separator && text[pos] != u'.') return TRuxFontSizeValue::Times(1.0);
  double scale = 1.0;
  size_t fraction_digits = 0;
  for (++pos; pos < text.size() && IsDigit(text[pos]); ++pos, ++fraction_digits) {
    scale /= 10;
    factor += (text[pos] - u'0') * scale;
  }
  if (pos != text.size() || int_digits + fraction_digits == 0) return TRuxFontSizeValue::Times(1.0);
  return TRuxFontSizeValue::Times(negative ? -factor : factor);
}

}  // namespace nolu
