// TFakePictureDecoder: the pictures' headers without their pixels (see picture_decoder.h).
#pragma once

#include "platform/picture_decoder.h"

namespace nolu {

class TFakePictureDecoder : public IPictureDecoder {
 public:
  // A PNG's size from IHDR and its resolution from pHYs; an ICO's first image size. The
  // pixels are all transparent. Anything else, or a header cut short, is no picture.
  bool Decode(std::span<const uint8_t> bytes, TPicture& picture) override;
  // How many pictures were decoded, for tests that a picture is read once.
  int DecodedCount() const { return decoded_; }

 private:
  int decoded_ = 0;
};

}  // namespace nolu
