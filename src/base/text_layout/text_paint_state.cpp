#include "base/text_layout/text_paint_state.h"

#include <cmath>

namespace nolu {
namespace {

int ClampHeight(double height) {
  // NaN and values below 1 fail the first test.
  if (!(height >= 1)) return 1;
  if (height > TRuxTextPaintState::kMaxFontHeight) return TRuxTextPaintState::kMaxFontHeight;
  return static_cast<int>(std::lround(height));
}

}  // namespace

TRuxTextPaintState::TRuxTextPaintState(TRuxTextFont base_font, TRuxColor text_color,
                                       TRuxColor link_color, int dpi)
    : base_font_(std::move(base_font)),
      text_color_(text_color),
      link_color_(link_color),
      dpi_(dpi) {}

void TRuxTextPaintState::Apply(const TRuxTextLayoutBlock& block) {
  switch (block.Kind()) {
    case bkFontStyle: {
      const auto& style = static_cast<const TRuxTextLayoutBlockFontStyle&>(block);
      ApplyStyle(style.Style(), style.Include());
      break;
    }
    case bkHyperlink: {
      const auto& link = static_cast<const TRuxTextLayoutBlockHyperlink&>(block);
      ApplyStyle(fsUnderline, link.Include());
      if (link.Include()) {
        text_colors_.push_back(link_color_);
        links_.push_back(link.Target());
      } else {
        Pop(text_colors_);
        Pop(links_);
      }
      break;
    }
    case bkFontColor:
    case bkFillColor: {
      const auto& color = static_cast<const TRuxTextLayoutBlockFillColor&>(block);
      auto& stack = block.Kind() == bkFontColor ? text_colors_ : back_colors_;
      if (color.Include()) {
        stack.push_back(color.Color());
      } else {
        Pop(stack);
      }
      break;
    }
    case bkFontSize:
      ApplySize(static_cast<const TRuxTextLayoutBlockFontSize&>(block));
      break;
    case bkSpan:
      for (const TRuxTextLayoutBlock& inner :
           static_cast<const TRuxTextLayoutBlockSpan&>(block).Blocks())
        Apply(inner);
      break;
    case bkText:
    case bkSpace:
    case bkLineBreak:
      break;
  }
}

void TRuxTextPaintState::ApplyStyle(TRuxFontStyle style, bool include) {
  int& count = style_counts_[style];
  if (include) {
    ++count;
  } else if (count > 0) {
    --count;
  }
}

void TRuxTextPaintState::ApplySize(const TRuxTextLayoutBlockFontSize& block) {
  if (!block.Include()) {
    Pop(heights_);
    return;
  }
  const TRuxFontSizeValue size = block.Size();
  const double height = size.Absolute ? static_cast<double>(size.Points) * dpi_ / 72.0
                                      : static_cast<double>(Font().Height) * size.Factor;
  heights_.push_back(ClampHeight(height));
}

TRuxTextFont TRuxTextPaintState::Font() const {
  TRuxTextFont font = base_font_;
  if (!heights_.empty()) font.Height = heights_.back();
  for (int style = 0; style < kFontStyleCount; ++style) {
    if (style_counts_[style] > 0) font.Styles |= FontStyleBit(static_cast<TRuxFontStyle>(style));
  }
  return font;
}

TRuxColor TRuxTextPaintState::TextColor() const {
  return text_colors_.empty() ? text_color_ : text_colors_.back();
}

std::optional<TRuxColor> TRuxTextPaintState::BackColor() const {
  if (back_colors_.empty()) return std::nullopt;
  return back_colors_.back();
}

std::optional<String> TRuxTextPaintState::Link() const {
  if (links_.empty()) return std::nullopt;
  return links_.back();
}

}  // namespace nolu
