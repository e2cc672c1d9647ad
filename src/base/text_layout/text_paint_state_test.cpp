#include "base/text_layout/text_paint_state.h"

#include <gtest/gtest.h>

#include "base/text_layout/text_importer.h"

namespace nolu {
namespace {

constexpr TRuxColor kText{1, 2, 3};
constexpr TRuxColor kLink{0, 0, 255};

// A state after the blocks of `markup`, with a base font of height 12 at 96 DPI.
class PaintStateAfter {
 public:
  explicit PaintStateAfter(StringView markup, int dpi = 96)
      : blocks_(TRuxTextImporter(TextImportSettings()).Import(markup)),
        state_(TRuxTextFont{u"Segoe UI", 12, 0}, kText, kLink, dpi) {
    for (const TRuxTextLayoutBlock& block : blocks_)
      state_.Apply(block);
  }
  const TRuxTextPaintState& operator*() const { return state_; }
  const TRuxTextPaintState* operator->() const { return &state_; }

 private:
  TRuxTextLayoutBlockList blocks_;
  TRuxTextPaintState state_;
};

TEST(TextPaintStateTest, StyleCounters) {
  struct Case {
    const char16_t* markup;
    TRuxFontStyles styles;
  } cases[] = {
      {u"", 0},
      {u"[B]", FontStyleBit(fsBold)},
      {u"[B][/B]", 0},
      {u"[B][B][/B]", FontStyleBit(fsBold)},  // counted, not switched
      {u"[/B][B]", FontStyleBit(fsBold)},     // a closing tag too many leaves no debt
      {u"[/B][/B][B]", FontStyleBit(fsBold)},
      {u"[I][U][S]",
       FontStyleBit(fsItalic) | FontStyleBit(fsUnderline) | FontStyleBit(fsStrikeOut)},
      {u"[URL=x]", FontStyleBit(fsUnderline)},
      {u"[U][URL=x][/URL]", FontStyleBit(fsUnderline)},  // one of two underlines closed
      {u"[URL=x][/U]", 0},  // hyperlinks and underline share one counter
      {u"[B]a[/B]b", 0},
      {u"a[B]b c", FontStyleBit(fsBold)},  // inside a span as well
  };
  for (const Case& c : cases) {
    PaintStateAfter state(c.markup);
    EXPECT_EQ(state->Font().Styles, c.styles) << StringToUtf8(c.markup);
  }
}

TEST(TextPaintStateTest, SizeStack) {
  struct Case {
    const char16_t* markup;
    int dpi;
    int height;
  } cases[] = {
      {u"", 96, 12},
      {u"[SIZE=14]", 96, 19},  // 14 pt at 96 DPI is 18.67 pixels
      {u"[SIZE=14]", 144, 28},
      {u"[SIZE=1.5]", 96, 18},
      {u"[SIZE=word]", 96, 12},
      {u"[SIZE=word][/SIZE]", 96, 12},
      {u"[SIZE=1.5][SIZE=1.5]", 96, 27},        // 12 * 1.5 * 1.5
      {u"[SIZE=20][SIZE=1.5][/SIZE]", 96, 27},  // back to 20 pt
      {u"[SIZE=20][SIZE=1.5][/SIZE][/SIZE]", 96, 12},
      {u"[/SIZE][SIZE=1.5]", 96, 18},  // a closing tag on an empty stack is nothing
      {u"[BIG]", 96, 13},
      {u"[SMALL]", 96, 11},
      // Nonsense sizes stay drawable: at least one pixel, at most kMaxFontHeight.
      {u"[SIZE=0]", 96, 1},
      {u"[SIZE=-5]", 96, 1},
      {u"[SIZE=0.0]", 96, 1},
      {u"[SIZE=-2.5]", 96, 1},
      {u"[SIZE=99999999999]", 96, TRuxTextPaintState::kMaxFontHeight},
      {u"[SIZE=1000000.5][SIZE=1000000.5]", 96, TRuxTextPaintState::kMaxFontHeight},
  };
  for (const Case& c : cases) {
    PaintStateAfter state(c.markup, c.dpi);
    EXPECT_EQ(state->Font().Height, c.height) << StringToUtf8(c.markup) << " at " << c.dpi;
    EXPECT_EQ(state->Font().Name, u"Segoe UI");
  }
}

TEST(TextPaintStateTest, ColourStacks) {
  constexpr TRuxColor kRed{255, 0, 0}, kBlue{0, 0, 255}, kYellow{255, 255, 0};
  struct Case {
    const char16_t* markup;
    TRuxColor text;
    std::optional<TRuxColor> back;
    std::optional<String> link;
  } cases[] = {
      {u"", kText, std::nullopt, std::nullopt},
      {u"[COLOR=Red]", kRed, std::nullopt, std::nullopt},
      {u"[COLOR=Red][/COLOR]", kText, std::nullopt, std::nullopt},
      {u"[COLOR=Red][COLOR=Blue]", kBlue, std::nullopt, std::nullopt},
      {u"[COLOR=Red][COLOR=Blue][/COLOR]", kRed, std::nullopt, std::nullopt},
      // A font colour is a fill colour by class, but it never paints the background.
      {u"[BACKCOLOR=Yellow]", kText, kYellow, std::nullopt},
      {u"[BACKCOLOR=Yellow][COLOR=Red][/COLOR]", kText, kYellow, std::nullopt},
      {u"[BACKCOLOR=Yellow][/COLOR]", kText, kYellow, std::nullopt},
      {u"[COLOR=Red][/BACKCOLOR]", kRed, std::nullopt, std::nullopt},
      {u"[BACKCOLOR=Yellow][/BACKCOLOR]", kText, std::nullopt, std::nullopt},
      // Links push the link colour on the text colours.
      {u"[URL=x]", kLink, std::nullopt, u"x"},
      {u"[COLOR=Red][URL=x]", kLink, std::nullopt, u"x"},
      {u"[URL=x][COLOR=Red]", kRed, std::nullopt, u"x"},
      {u"[URL=x][/URL]", kText, std::nullopt, std::nullopt},
      {u"[URL=x][URL=y]", kLink, std::nullopt, u"y"},
      {u"[URL=x][URL=y][/URL]", kLink, std::nullopt, u"x"},
      {u"[URL]", kLink, std::nullopt, u""},
      // Mismatched closings take the most recent entry of their stack.
      {u"[COLOR=Red][URL=x][/COLOR]", kRed, std::nullopt, u"x"},
  };
  for (const Case& c : cases) {
    PaintStateAfter state(c.markup);
    EXPECT_EQ(state->TextColor(), c.text) << StringToUtf8(c.markup);
    EXPECT_EQ(state->BackColor(), c.back) << StringToUtf8(c.markup);
    EXPECT_EQ(state->Link(), c.link) << StringToUtf8(c.markup);
  }
}

TEST(TextPaintStateTest, BaseFontStylesStayOn) {
  TRuxTextPaintState state(TRuxTextFont{u"Tahoma", 10, FontStyleBit(fsItalic)}, kText, kLink, 96);
  const TRuxTextLayoutBlockList blocks =
      TRuxTextImporter(TextImportSettings()).Import(u"[I][/I][/I][B]");
  for (const TRuxTextLayoutBlock& block : blocks)
    state.Apply(block);
  EXPECT_EQ(state.Font().Styles, FontStyleBit(fsItalic) | FontStyleBit(fsBold));
  EXPECT_EQ(state.StyleCount(fsItalic), 0);
}

}  // namespace
}  // namespace nolu
