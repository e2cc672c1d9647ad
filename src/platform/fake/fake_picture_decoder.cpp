#include "platform/fake/fake_picture_decoder.h"

#include <cmath>
#include <cstring>

namespace nolu {
namespace {

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint32_t BigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

bool ReadPng(std::span<const uint8_t> bytes, TPicture& out) {
  if (bytes.size() < 8 || std::memcmp(bytes.data(), kPngSignature, 8) != 0) return false;
  size_t at = 8;
  bool have_header = false;
  while (at + 8 <= bytes.size()) {
    const uint32_t length = BigEndian32(bytes.data() + at);
    const uint8_t* type = bytes.data() + at + 4;
    if (length > bytes.size() - at - 8) return false;
    const uint8_t* data = type + 4;
    if (std::memcmp(type, "IHDR", 4) == 0 && length >= 8) {
      out.Width = static_cast<int>(BigEndian32(data));
      out.Height = static_cast<int>(BigEndian32(data + 4));
      have_header = true;
    } else if (std::memcmp(type, "pHYs", 4) == 0 && length >= 9 && data[8] == 1) {
      // Pixels per metre; 96 DPI is 3780.
      out.Dpi = static_cast<int>(std::lround(BigEndian32(data) * 0.0254));
    } else if (std::memcmp(type, "IEND", 4) == 0) {
      break;
    }
    at += 12 + static_cast<size_t>(length);
  }
  return have_header && out.Width > 0 && out.Height > 0;
}

bool ReadIco(std::span<const uint8_t> bytes, TPicture& out) {
  // ICONDIR: reserved 0, type 1, count; then 16-byte entries whose first bytes are the size.
  if (bytes.size() < 6 + 16 || bytes[0] != 0 || bytes[1] != 0 || bytes[2] != 1 || bytes[3] != 0 ||
      (bytes[4] == 0 && bytes[5] == 0)) {
    return false;
  }
  out.Width = bytes[6] == 0 ? 256 : bytes[6];
  out.Height = bytes[7] == 0 ? 256 : bytes[7];
  return true;
}

}  // namespace

bool TFakePictureDecoder::Decode(std::span<const uint8_t> bytes, TPicture& picture) {
  TPicture read;
  if (!ReadPng(bytes, read) && !ReadIco(bytes, read)) return false;
  read.Pixels.assign(static_cast<size_t>(read.Width) * read.Height, 0);
  picture = std::move(read);
  ++decoded_;
  return true;
}

}  // namespace nolu
