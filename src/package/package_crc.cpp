#include "package/package_crc.h"

#include <array>

namespace nolu {
namespace {

constexpr uint32_t kPolynomial = 0x04C11DB7;
constexpr size_t kSlices = 16;

using Tables = std::array<std::array<uint32_t, 256>, kSlices>;

// Table k maps a byte to its effect on the register after it has been followed by k more
// zero bytes, so sixteen table lookups advance the register by sixteen bytes at once.
constexpr Tables MakeTables() {
  Tables t{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t crc = i << 24;
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc & 0x80000000u) ? (crc << 1) ^ kPolynomial : crc << 1;
    }
    t[0][i] = crc;
  }
  for (size_t k = 1; k < kSlices; ++k) {
    for (uint32_t i = 0; i < 256; ++i) {
      t[k][i] = (t[k - 1][i] << 8) ^ t[0][t[k - 1][i] >> 24];
    }
  }
  return t;
}

constexpr Tables kTables = MakeTables();
static_assert(kTables[0][1] == kPolynomial);

inline uint32_t LoadBigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

}  // namespace

uint32_t UpdatePackageCrc(uint32_t crc, const void* data, size_t count) {
  const auto* p = static_cast<const uint8_t*>(data);
  const auto& t = kTables;
  for (; count >= kSlices; count -= kSlices, p += kSlices) {
    const uint32_t a = crc ^ LoadBigEndian32(p);
    const uint32_t b = LoadBigEndian32(p + 4);
    const uint32_t c = LoadBigEndian32(p + 8);
    const uint32_t d = LoadBigEndian32(p + 12);
    crc = t[15][a >> 24] ^ t[14][(a >> 16) & 0xFF] ^ t[13][(a >> 8) & 0xFF] ^ t[12][a & 0xFF] ^
          t[11][b >> 24] ^ t[10][(b >> 16) & 0xFF] ^ t[9][(b >> 8) & 0xFF] ^ t[8][b & 0xFF] ^
          t[7][c >> 24] ^ t[6][(c >> 16) & 0xFF] ^ t[5][(c >> 8) & 0xFF] ^ t[4][c & 0xFF] ^
          t[3][d >> 24] ^ t[2][(d >> 16) & 0xFF] ^ t[1][(d >> 8) & 0xFF] ^ t[0][d & 0xFF];
  }
  for (; count > 0; --count, ++p)
    crc = t[0][(crc >> 24) ^ *p] ^ (crc << 8);
  return crc;
}

String ChecksumText(uint32_t crc) {
  String text = u"0x";
  for (int shift = 28; shift >= 0; shift -= 4)
    text += u"0123456789ABCDEF"[(crc >> shift) & 0xF];
  return text;
}

}  // namespace nolu
