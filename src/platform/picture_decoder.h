// IPictureDecoder: pictures of the setup package (PNG with alpha, the icons of the language
// files) as pixels the user interface can draw.
//
// Win32 decodes with the Windows Imaging Component; the fake reads only what the headers
// say (size, resolution) and gives transparent pixels, which is all that host tests of the
// layout need.
#pragma once

#include <cstdint>
#include <span>

#include "base/picture.h"

namespace nolu {

class IPictureDecoder {
 public:
  virtual ~IPictureDecoder() = default;
  // Decodes a PNG or ICO file (for an icon: its first, largest-first image as stored). False,
  // with `picture` untouched, when the bytes are no picture this decoder can read.
  virtual bool Decode(std::span<const uint8_t> bytes, TPicture& picture) = 0;
};

}  // namespace nolu
