// ITextMeasurer: how the layout learns the size of text, from whatever draws it.
#pragma once

#include "base/text.h"
#include "base/text_layout/text_font.h"

namespace nolu {

struct TRuxTextExtent {
  int Width = 0;   // advance width of the text
  int Height = 0;  // line height of the font (ascent + descent)
  int Ascent = 0;  // from the top of the line to the baseline
};

class ITextMeasurer {
 public:
  virtual ~ITextMeasurer() = default;

  // The extent of `text` drawn in `font` (on Win32: the font selected into a device
  // context, GetTextExtentPoint32W for the width, GetTextMetricsW for height and ascent).
  // `text` may be empty: the width is then 0 and height and ascent are the font's, which is
  // what an empty row is given.
  virtual TRuxTextExtent Measure(const TRuxTextFont& font, StringView text) = 0;
};

}  // namespace nolu
