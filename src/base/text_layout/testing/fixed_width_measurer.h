// TFixedWidthMeasurer: a text measurer with fixed-width glyphs, so that tests can compute
// every rectangle by hand: each UTF-16 code unit advances Height / 2 pixels, a line is
// Height + Height / 5 pixels high and its ascent is Height (a font of height 10: glyphs 5
// wide, lines 12 high, baseline at 10).
#pragma once

#include "base/text_layout/text_measurer.h"

namespace nolu {

class TFixedWidthMeasurer : public ITextMeasurer {
 public:
  TRuxTextExtent Measure(const TRuxTextFont& font, StringView text) override {
    ++calls_;
    return {static_cast<int>(text.size()) * (font.Height / 2), font.Height + font.Height / 5,
            font.Height};
  }
  int Calls() const { return calls_; }

 private:
  int calls_ = 0;
};

}  // namespace nolu
