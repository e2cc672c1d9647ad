// TRuxTextPaintState: the font, colours and link in force while the blocks of a text are
// walked in order, for measuring and painting.
//
// Driven block by block with Apply:
//   * font styles: one counter per style; an opening block adds 1, a closing one takes 1 away
//     (never below 0); a style is on while its counter is above 0. Hyperlink blocks count as
//     underline;
//   * font size: a stack of heights; an opening block pushes the absolute size converted to
//     pixels at the DPI, or the height in force times the factor (rounded); a closing block
//     pops the most recent entry; the font takes the top, else the base height. Heights are
//     kept between 1 and kMaxFontHeight pixels, whatever the markup asks;
//   * colours: a stack of text colours (font-colour blocks, and hyperlink blocks, which push
//     the link colour) and a stack of background colours (fill-colour blocks); a closing
//     block pops the most recent entry of its own stack. Text takes the top text colour (else
//     the base colour), and has a background while the fill stack is not empty;
//   * links: the target of the innermost open hyperlink.
// Other blocks change nothing; a span applies its blocks in order.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "base/color.h"
#include "base/text.h"
#include "base/text_layout/text_font.h"
#include "base/text_layout/text_layout_block.h"

namespace nolu {

class TRuxTextPaintState {
 public:
  static constexpr int kMaxFontHeight = 2048;

  // `base_font.Height` is in pixels at `dpi`; `link_color` is what hyperlinks are drawn in.
  TRuxTextPaintState(TRuxTextFont base_font, TRuxColor text_color, TRuxColor link_color, int dpi);

  void Apply(const TRuxTextLayoutBlock& block);

  TRuxTextFont Font() const;
  TRuxColor TextColor() const;
  std::optional<TRuxColor> BackColor() const;
  // The target of the innermost open hyperlink (which may be empty: "[URL]"), or nothing.
  std::optional<String> Link() const;

  int StyleCount(TRuxFontStyle style) const { return style_counts_[style]; }

 private:
  void ApplyStyle(TRuxFontStyle style, bool include);
  void ApplySize(const TRuxTextLayoutBlockFontSize& block);
  template <typename T>
  static void Pop(std::vector<T>& stack) {
    if (!stack.empty()) stack.pop_back();
  }

  TRuxTextFont base_font_;
  TRuxColor text_color_;
  TRuxColor link_color_;
  int dpi_;
  std::array<int, kFontStyleCount> style_counts_{};
  std::vector<int> heights_;
  std::vector<TRuxColor> text_colors_;
  std::vector<TRuxColor> back_colors_;
  std::vector<String> links_;
};

}  // namespace nolu
