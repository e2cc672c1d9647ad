#include "base/text_encoding.h"

#include "base/locale.h"

namespace nolu {
namespace {

String DecodeUtf16(std::string_view bytes, bool big_endian) {
  String out;
  out.resize(bytes.size() / 2);
  for (size_t i = 0; i < out.size(); ++i) {
    const auto b0 = static_cast<uint8_t>(bytes[2 * i]);
    const auto b1 = static_cast<uint8_t>(bytes[2 * i + 1]);
    out[i] = static_cast<Char>(big_endian ? (b0 << 8) | b1 : (b1 << 8) | b0);
  }
  return out;
}

void AppendUtf16(std::string& out, StringView text, bool big_endian) {
  const size_t start = out.size();
  out.resize(start + 2 * text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto hi = static_cast<char>(text[i] >> 8);
    const auto lo = static_cast<char>(text[i] & 0xFF);
    out[start + 2 * i] = big_endian ? hi : lo;
    out[start + 2 * i + 1] = big_endian ? lo : hi;
  }
}

int HexDigit(Char c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

}  // namespace

String DecodeText(std::string_view bytes, TextEncoding& encoding) {
  if (bytes.starts_with("\xEF\xBB\xBF")) {
    bytes.remove_prefix(3);
    String text;
    if (TryUtf8ToString(bytes, text)) {
      encoding = TextEncoding::kUtf8;
      return text;
    }
  } else if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
    const bool big_endian = bytes[0] == '\xFE';
    encoding = big_endian ? TextEncoding::kUtf16BE : TextEncoding::kUtf16LE;
    return DecodeUtf16(bytes.substr(2), big_endian);
  }
  encoding = TextEncoding::kAnsi;
  return AnsiToString(bytes);
}

std::string EncodeText(StringView text, TextEncoding encoding) {
  if (encoding == TextEncoding::kAnsi && !IsAnsiRepresentable(text)) {
    encoding = TextEncoding::kUtf16LE;
  }
  std::string out;
  switch (encoding) {
    case TextEncoding::kAnsi:
      return StringToAnsi(text);
    case TextEncoding::kUtf8:
      return "\xEF\xBB\xBF" + StringToUtf8(text);
    case TextEncoding::kUtf16LE:
      out = "\xFF\xFE";
      AppendUtf16(out, text, false);
      return out;
    case TextEncoding::kUtf16BE:
      out = "\xFE\xFF";
      AppendUtf16(out, text, true);
      return out;
  }
  return out;
}

StringList SplitLines(StringView text) {
  StringList lines;
  size_t start = 0, i = 0;
  while (i < text.size()) {
    const Char c = text[i];
    if (c != u'\r' && c != u'\n' && c != u'\u2028') {
      ++i;
      continue;
    }
    lines.emplace_back(text.substr(start, i - start));
    if (c == u'\u2028' && i + 1 < text.size() && (text[i + 1] == u'\r' || text[i + 1] == u'\n')) {
      ++i;
    }
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    start = ++i;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

String BytesToHex(const Bytes& bytes) {
  static constexpr char16_t kDigits[] = u"0123456789abcdef";
  String hex;
  hex.reserve(bytes.size() * 2);
  for (uint8_t b : bytes) {
    hex.push_back(kDigits[b >> 4]);
    hex.push_back(kDigits[b & 0xF]);
  }
  return hex;
}

bool HexToBytes(StringView hex, Bytes& bytes) {
  if (hex.size() % 2 != 0) return false;
  Bytes out(hex.size() / 2);
  for (size_t i = 0; i < out.size(); ++i) {
    const int hi = HexDigit(hex[2 * i]), lo = HexDigit(hex[2 * i + 1]);
    if (hi < 0 || lo < 0) return false;
    out[i] = static_cast<uint8_t>(hi << 4 | lo);
  }
  bytes = std::move(out);
  return true;
}

}  // namespace nolu
