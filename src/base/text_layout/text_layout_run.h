// The result of laying out a text: positioned runs grouped in rows.
#pragma once

#include <cstddef>
#include <optional>

#include "base/color.h"
#include "base/text.h"
#include "base/text_layout/text_font.h"

namespace nolu {

// A rectangle in device pixels, relative to the layout's top-left corner.
struct TRuxTextRect {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;

  int Right() const { return Left + Width; }
  int Bottom() const { return Top + Height; }
  bool Contains(int x, int y) const { return x >= Left && x < Right() && y >= Top && y < Bottom(); }
  friend bool operator==(const TRuxTextRect&, const TRuxTextRect&) = default;
};

// A piece of text in one font and colour: a word (or a part of one with its own style), a
// delimiter or a blank between words. Blanks at the end of a row have no run.
struct TRuxTextLayoutRun {
  String Text;
  TRuxTextRect Bounds;  // the text's own cell: its width, its font's line height
  int Baseline = 0;     // shared by the runs of a row
  TRuxTextFont Font;
  TRuxColor TextColor;
  std::optional<TRuxColor> BackColor;  // fill behind the cell, when the markup asks for one
  std::optional<String> Link;          // the hyperlink target, when the run is part of a link
};

struct TRuxTextLayoutRow {
  TRuxTextRect Bounds;  // the runs' extent after alignment, and the row's full height
  int Baseline = 0;
  size_t FirstRun = 0;  // index into the layout's runs
  size_t RunCount = 0;
};

}  // namespace nolu
