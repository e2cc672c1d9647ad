// TRuxTextFont: the font of a run of laid-out text.
#pragma once

#include <cstdint>

#include "base/text.h"

namespace nolu {

// The font styles that markup switches on and off; the values are the style numbers of the
// style blocks.
enum TRuxFontStyle : uint8_t { fsBold = 0, fsItalic = 1, fsUnderline = 2, fsStrikeOut = 3 };
inline constexpr int kFontStyleCount = 4;

// A set of TRuxFontStyle: bit n is style n.
using TRuxFontStyles = uint8_t;

constexpr TRuxFontStyles FontStyleBit(TRuxFontStyle style) {
  return static_cast<TRuxFontStyles>(1u << style);
}

struct TRuxTextFont {
  String Name;
  // The character height in device pixels (the em height, without internal leading): what a
  // Win32 font takes as a negative lfHeight.
  int Height = 0;
  TRuxFontStyles Styles = 0;

  bool Has(TRuxFontStyle style) const { return (Styles & FontStyleBit(style)) != 0; }
  friend bool operator==(const TRuxTextFont&, const TRuxTextFont&) = default;
};

}  // namespace nolu
