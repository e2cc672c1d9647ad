// TPicture: a decoded picture — pixels with alpha and the resolution it was drawn for.
//
// Pixels are 32-bit, premultiplied by alpha, in the byte order B, G, R, A (what GDI's
// AlphaBlend and WIC's 32bppPBGRA use), rows top-down without padding. A picture drawn for
// a higher resolution (a PNG whose pHYs says 192 DPI) covers fewer 96-DPI units than it
// has pixels: LogicalWidth and LogicalHeight are its size in those units.
#pragma once

#include <cstdint>
#include <vector>

namespace nolu {

struct TPicture {
  int Width = 0;
  int Height = 0;
  // Dots per inch the picture was drawn for; 96 when the file says nothing.
  int Dpi = 96;
  std::vector<uint32_t> Pixels;

  bool Empty() const { return Width <= 0 || Height <= 0; }
  int LogicalWidth() const { return Dpi > 0 ? Width * 96 / Dpi : Width; }
  int LogicalHeight() const { return Dpi > 0 ? Height * 96 / Dpi : Height; }
};

}  // namespace nolu
