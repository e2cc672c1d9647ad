#include "platform/guid.h"

namespace nolu {
namespace {

constexpr char16_t kHex[] = u"0123456789ABCDEF";

void AppendHex(String& out, uint64_t value, int digits) {
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
    out += kHex[(value >> shift) & 0xF];
}

int HexDigit(Char c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

}  // namespace

String TGuid::ToString() const {
  String out = u"{";
  AppendHex(out, Data1, 8);
  out += u'-';
  AppendHex(out, Data2, 4);
  out += u'-';
  AppendHex(out, Data3, 4);
  out += u'-';
  for (size_t i = 0; i < Data4.size(); ++i) {
    if (i == 2) out += u'-';
    AppendHex(out, Data4[i], 2);
  }
  out += u'}';
  return out;
}

bool TGuid::TryParse(StringView text, TGuid& guid) {
  // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
  if (text.size() != 38 || text[0] != u'{' || text[37] != u'}') return false;
  uint8_t bytes[16];
  size_t n = 0;
  for (size_t i = 1; i < 37;) {
    if (i == 9 || i == 14 || i == 19 || i == 24) {
      if (text[i] != u'-') return false;
      ++i;
      continue;
    }
    const int high = HexDigit(text[i]);
    const int low = HexDigit(text[i + 1]);
    if (high < 0 || low < 0) return false;
    bytes[n++] = static_cast<uint8_t>(high << 4 | low);
    i += 2;
  }
  guid.Data1 =
      uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
  guid.Data2 = static_cast<uint16_t>(bytes[4] << 8 | bytes[5]);
  guid.Data3 = static_cast<uint16_t>(bytes[6] << 8 | bytes[7]);
  for (size_t i = 0; i < 8; ++i)
    guid.Data4[i] = bytes[8 + i];
  return true;
}

}  // namespace nolu
