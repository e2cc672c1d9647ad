// TRuxColor: a colour of the user interface as red, green and blue, free of any platform's
// encoding (the Win32 backend packs it into its own form at the canvas).
#pragma once

#include <cstdint>

namespace nolu {

struct TRuxColor {
  uint8_t R = 0;
  uint8_t G = 0;
  uint8_t B = 0;

  friend bool operator==(const TRuxColor&, const TRuxColor&) = default;
};

}  // namespace nolu
