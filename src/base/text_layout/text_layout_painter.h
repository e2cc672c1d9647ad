// PaintTextLayout: draws an arranged TRuxTextLayout through any canvas.
#pragma once

#include "base/color.h"
#include "base/text.h"
#include "base/text_layout/text_font.h"
#include "base/text_layout/text_layout.h"
#include "base/text_layout/text_layout_run.h"

namespace nolu {

// What painting needs of a canvas. A Win32 adapter fills with a solid brush and draws with
// the font selected, TA_BASELINE alignment and a transparent background mode, so that the
// label's own background (or its parent's, when transparent) shows between the fills.
class ITextLayoutCanvas {
 public:
  virtual ~ITextLayoutCanvas() = default;
  virtual void FillRect(const TRuxTextRect& rect, TRuxColor color) = 0;
  // Draws `text` starting at `x` on the baseline `baseline`; underline and strike-out are
  // styles of the font.
  virtual void DrawText(int x, int baseline, StringView text, const TRuxTextFont& font,
                        TRuxColor color) = 0;
};

// Every background fill first, then every text, so that no fill covers the overhang of a
// neighbour's italic or large glyphs. `dx`, `dy` move the layout on the canvas (borders).
void PaintTextLayout(const TRuxTextLayout& layout, ITextLayoutCanvas& canvas, int dx = 0,
                     int dy = 0);

}  // namespace nolu
