#include "base/text.h"

#include <array>
#include <limits>

namespace nolu {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

Char FoldAscii(Char c) {
  return c >= u'a' && c <= u'z' ? static_cast<Char>(c - 32) : c;
}

void AppendCodePoint(String& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<Char>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<Char>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<Char>(0xDC00 + (cp & 0x3FF)));
  }
}

// Decodes one UTF-8 sequence at `i`; returns false for an ill-formed one and advances `i`
// past the maximal ill-formed subpart (one byte), as the Unicode standard recommends.
bool DecodeUtf8At(std::string_view s, size_t& i, char32_t& cp) {
  const auto b0 = static_cast<uint8_t>(s[i]);
  if (b0 < 0x80) {
    cp = b0;
    ++i;
    return true;
  }
  int len;
  char32_t min;
  if ((b0 & 0xE0) == 0xC0) {
    len = 2, min = 0x80, cp = b0 & 0x1F;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3, min = 0x800, cp = b0 & 0x0F;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4, min = 0x10000, cp = b0 & 0x07;
  } else {
    ++i;
    return false;
  }
  if (i + len > s.size()) {
    ++i;
    return false;
  }
  for (int k = 1; k < len; ++k) {
    const auto b = static_cast<uint8_t>(s[i + k]);
    if ((b & 0xC0) != 0x80) {
      ++i;
      return false;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return false;
  }
  i += len;
  return true;
}

// Windows-1252 0x80..0x9F; the five undefined positions keep their C1 value.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

bool TryUtf8ToString(std::string_view utf8, String& out) {
  out.clear();
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    char32_t cp;
    if (!DecodeUtf8At(utf8, i, cp)) return false;
    AppendCodePoint(out, cp);
  }
  return true;
}

String Utf8ToString(std::string_view utf8) {
  String out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    char32_t cp;
    AppendCodePoint(out, DecodeUtf8At(utf8, i, cp) ? cp : kReplacement);
  }
  return out;
}

std::string StringToUtf8(StringView text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = kReplacement;
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

String AsciiToString(std::string_view ascii) {
  return String(ascii.begin(), ascii.end());
}

String Windows1252ToString(std::string_view bytes) {
  String out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    const auto b = static_cast<uint8_t>(c);
    out.push_back(b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : static_cast<Char>(b));
  }
  return out;
}

std::string StringToWindows1252(StringView text) {
  std::string out;
  out.reserve(text.size());
  for (Char c : text) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    char mapped = '?';
    for (size_t k = 0; k < kCp1252High.size(); ++k) {
      if (kCp1252High[k] == c) mapped = static_cast<char>(0x80 + k);
    }
    out.push_back(mapped);
  }
  return out;
}

String IntToStr(int64_t value) {
  return AsciiToString(std::to_string(value));
}

String ZeroPadded(int64_t value, size_t width) {
  const uint64_t magnitude =
      value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  String digits = AsciiToString(std::to_string(magnitude));
  if (digits.size() < width) digits.insert(0, width - digits.size(), u'0');
  return value < 0 ? u"-" + digits : digits;
}

bool TryStrToInt(StringView text, int64_t& value) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  if (i == text.size()) return false;
  // Accumulate as a negative number so that INT64_MIN parses without overflow.
  int64_t acc = 0;
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  for (; i < text.size(); ++i) {
    if (text[i] < u'0' || text[i] > u'9') return false;
    const int digit = text[i] - u'0';
    if (acc < (kMin + digit) / 10) return false;
    acc = acc * 10 - digit;
  }
  if (!negative) {
    if (acc == kMin) return false;
    acc = -acc;
  }
  value = acc;
  return true;
}

String TrimControls(StringView text) {
  size_t begin = 0, end = text.size();
  while (begin < end && text[begin] < 33)
    ++begin;
  while (end > begin && text[end - 1] < 33)
    --end;
  return String(text.substr(begin, end - begin));
}

bool EqualsAsciiIgnoreCase(StringView a, StringView b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

bool StartsWith(StringView text, StringView prefix) {
  return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(StringView text, StringView suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

String ReplaceAll(StringView text, StringView from, StringView to) {
  if (from.empty()) return String(text);
  String out;
  size_t pos = 0;
  for (size_t hit; (hit = text.find(from, pos)) != StringView::npos; pos = hit + from.size()) {
    out.append(text.substr(pos, hit - pos));
    out.append(to);
  }
  out.append(text.substr(pos));
  return out;
}

String JoinStrings(const StringList& items, StringView separator) {
  String out;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i) out.append(separator);
    out.append(items[i]);
  }
  return out;
}

}  // namespace nolu
