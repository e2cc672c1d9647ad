// The value types of the widget toolkit: rectangles, colours, fonts, alignment.
//
// Every length a control keeps is in 96-DPI units; ScaleValue turns one into device pixels
// for a DPI (value × DPI / 96, as the system's MulDiv rounds).
#pragma once

#include <cstdint>
#include <optional>

#include "base/text.h"

namespace nolu::ui {

inline constexpr int kDefaultDpi = 96;

// value × numerator / denominator, rounded half away from zero (MulDiv's rule).
int MulDiv(int value, int numerator, int denominator);
inline int ScaleValue(int value, int dpi) {
  return MulDiv(value, dpi, kDefaultDpi);
}

struct TPoint {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  int Width = 0;
  int Height = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

// Left, top, width and height.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;

  static TRect FromEdges(int left, int top, int right, int bottom) {
    return {left, top, right - left, bottom - top};
  }
  int Right() const { return Left + Width; }
  int Bottom() const { return Top + Height; }
  bool Empty() const { return Width <= 0 || Height <= 0; }
  bool Contains(TPoint p) const {
    return p.X >= Left && p.X < Right() && p.Y >= Top && p.Y < Bottom();
  }
  // The rectangle with each edge moved inwards by the given amounts.
  TRect Shrunk(int left, int top, int right, int bottom) const {
    return FromEdges(Left + left, Top + top, Right() - right, Bottom() - bottom);
  }
  TRect Scaled(int dpi) const {
    return FromEdges(ScaleValue(Left, dpi), ScaleValue(Top, dpi), ScaleValue(Right(), dpi),
                     ScaleValue(Bottom(), dpi));
  }
  friend bool operator==(const TRect&, const TRect&) = default;
};

// An sRGB colour with alpha (255 opaque).
struct TColor {
  uint8_t R = 0;
  uint8_t G = 0;
  uint8_t B = 0;
  uint8_t A = 255;

  static constexpr TColor Rgb(uint8_t r, uint8_t g, uint8_t b) { return {r, g, b, 255}; }
  // From the Windows colour value 0x00BBGGRR.
  static constexpr TColor FromColorRef(uint32_t value) {
    return {static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>((value >> 8) & 0xFF),
            static_cast<uint8_t>((value >> 16) & 0xFF), 255};
  }
  constexpr uint32_t ColorRef() const {
    return uint32_t{R} | (uint32_t{G} << 8) | (uint32_t{B} << 16);
  }
  friend bool operator==(const TColor&, const TColor&) = default;
};

struct TFont {
  String Name = u"Segoe UI";
  int Size = 9;  // points
  bool Bold = false;
  bool Underline = false;
  // The text colour; none: the control's default (the theme's text colour).
  std::optional<TColor> Color;
  friend bool operator==(const TFont&, const TFont&) = default;
};

enum class TAlign : uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum class THorzAlign : uint8_t { haLeft, haCenter, haRight };
enum class TVertAlign : uint8_t { vaTop, vaCenter, vaBottom };

struct TMargins {
  int Left = 3;
  int Top = 3;
  int Right = 3;
  int Bottom = 3;
  friend bool operator==(const TMargins&, const TMargins&) = default;
};

// Edges whose distance to the parent's edge stays when the parent is resized.
struct TAnchors {
  bool Left = true;
  bool Top = true;
  bool Right = false;
  bool Bottom = false;
};

// What a screen reader says a control is.
enum class TAccessibleRole : uint8_t {
  arNone,
  arWindow,
  arPane,
  arPushButton,
  arCheckBox,
  arRadioButton,
  arStaticText,
  arLink,
  arEditableText,
  arProgressBar,
  arDocument,
  arComboBox,
  arDialog,
};

}  // namespace nolu::ui
