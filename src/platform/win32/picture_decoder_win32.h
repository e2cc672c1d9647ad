// TWin32PictureDecoder: pictures through the Windows Imaging Component (PNG with alpha, ICO).
#pragma once

#include "platform/picture_decoder.h"

namespace nolu {

class TWin32PictureDecoder : public IPictureDecoder {
 public:
  bool Decode(std::span<const uint8_t> bytes, TPicture& picture) override;
};

}  // namespace nolu
