#include "base/text_layout/text_layout.h"

#include <gtest/gtest.h>

#include <string>

#include "base/text_layout/testing/fixed_width_measurer.h"
#include "base/text_layout/text_layout_painter.h"

namespace nolu {
namespace {

constexpr TRuxColor kText{1, 2, 3};
constexpr TRuxColor kLink{0, 0, 255};

// A base font of height 10 in the fixed-width measurer: glyphs 5 wide, rows 12 high.
TRuxTextLayoutParams Params(int width, TRuxTextAlignment alignment = taLeftJustify,
                            bool word_wrap = true) {
  TRuxTextLayoutParams params;
  params.Width = width;
  params.WordWrap = word_wrap;
  params.Alignment = alignment;
  params.Font = {u"Tahoma", 10, 0};
  params.TextColor = kText;
  params.LinkColor = kLink;
  return params;
}

// "@TOP+HEIGHT LEFT'text' LEFT'text' | @TOP+HEIGHT ..." for every row and run.
std::string DescribeRows(const TRuxTextLayout& layout) {
  std::string out;
  for (const TRuxTextLayoutRow& row : layout.Rows()) {
    if (!out.empty()) out += " | ";
    out += "@" + std::to_string(row.Bounds.Top) + "+" + std::to_string(row.Bounds.Height);
    for (size_t i = row.FirstRun; i < row.FirstRun + row.RunCount; ++i) {
      const TRuxTextLayoutRun& run = layout.Runs()[i];
      out += " " + std::to_string(run.Bounds.Left) + "'" + StringToUtf8(run.Text) + "'";
    }
  }
  return out;
}

struct Case {
  const char16_t* text;
  int width;
  const char* rows;
  TRuxTextAlignment alignment = taLeftJustify;
  bool word_wrap = true;
};

void ExpectRows(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    TRuxTextLayout layout;
    layout.SetText(c.text);
    TFixedWidthMeasurer measurer;
    layout.Arrange(Params(c.width, c.alignment, c.word_wrap), measurer);
    EXPECT_EQ(DescribeRows(layout), c.rows) << StringToUtf8(c.text) << " in " << c.width;
  }
}

TEST(TextLayoutTest, WordWrap) {
  ExpectRows({
      {u"Hello world", 100, "@0+12 0'Hello' 25' ' 30'world'"},
      {u"Hello world", 40, "@0+12 0'Hello' | @12+12 0'world'"},
      {u"aa bb", 25, "@0+12 0'aa' 10' ' 15'bb'"},  // exactly full still fits
      {u"aa bb", 24, "@0+12 0'aa' | @12+12 0'bb'"},
      {u"aa    bb", 20, "@0+12 0'aa' | @12+12 0'bb'"},  // the blanks at the break vanish
      {u"aa bb cc dd", 25, "@0+12 0'aa' 10' ' 15'bb' | @12+12 0'cc' 10' ' 15'dd'"},
      {u"aaa bbb ccc", 20, "@0+12 0'aaa' 15' ' 20'bbb' 35' ' 40'ccc'", taLeftJustify, false},
      {u"", 100, ""},
      {u"   ", 100, ""},
  });
}

TEST(TextLayoutTest, BlanksAtRowEndsAreNotCounted_LeadingOnesAreKept) {
  ExpectRows({
      {u"aa   ", 20, "@0+12 10'aa'", taRightJustify},
      {u"aa   \nbb", 20, "@0+12 10'aa' | @12+12 10'bb'", taRightJustify},
      {u"  aa", 100, "@0+12 0' ' 5' ' 10'aa'"},
      {u"a\n  b", 100, "@0+12 0'a' | @12+12 0' ' 5' ' 10'b'"},
  });
}

TEST(TextLayoutTest, OverLongWordsAndSpansStandAloneUnsplit) {
  ExpectRows({
      {u"a verylongword b", 30, "@0+12 0'a' | @12+12 0'verylongword' | @24+12 0'b'"},
      {u"verylongword", 10, "@0+12 0'verylongword'"},
      {u"[B]No[/B]lu x", 100, "@0+12 0'No' 10'lu' 20' ' 25'x'"},
      // The span is 40 wide in a row of 30: a row of its own, not split at its tag.
      {u"a [B]bbbb[/B]cccc d", 30, "@0+12 0'a' | @12+12 0'bbbb' 20'cccc' | @24+12 0'd'"},
      {u"a [B]bb[/B]cc d", 30, "@0+12 0'a' 5' ' 10'bb' 20'cc' | @12+12 0'd'"},
      // Delimiters glued to a word do not open a break.
      {u"x (aaa)", 20, "@0+12 0'x' | @12+12 0'(' 5'aaa' 20')'"},
      {u"a\u201Cbb\u201D", 10, "@0+12 0'a' 5'\u201C' 10'bb' 20'\u201D'"},
  });
}

TEST(TextLayoutTest, EastAsianPunctuationOpensBreaks) {
  ExpectRows({
      {u"\u4E00\u4E8C\u3001\u4E09\u56DB", 15,
       "@0+12 0'\u4E00\u4E8C' 10'\u3001' | @12+12 0'\u4E09\u56DB'"},
      {u"\u4E00\u4E8C\u300C\u4E09\u300D", 15,
       "@0+12 0'\u4E00\u4E8C' | @12+12 0'\u300C' 5'\u4E09' 10'\u300D'"},
      {u"ab\u200Bcd", 10, "@0+12 0'ab' 10'\u200B' | @12+12 0'cd'"},
  });
}

TEST(TextLayoutTest, LineBreaks) {
  ExpectRows({
      {u"a\nb", 100, "@0+12 0'a' | @12+12 0'b'"},
      {u"a\n\nb", 100, "@0+12 0'a' | @12+12 | @24+12 0'b'"},
      {u"a\n", 100, "@0+12 0'a'"},  // no empty row after a final line break
      {u"\n", 100, "@0+12"},
      {u"a\\nb", 100, "@0+12 0'a' | @12+12 0'b'"},
      // An empty row takes the height of the font in force.
      {u"a\n[SIZE=2.0]\n[/SIZE]b", 100, "@0+12 0'a' | @12+24 | @36+12 0'b'"},
  });
}

TEST(TextLayoutTest, Alignment) {
  ExpectRows({
      {u"ab", 20, "@0+12 0'ab'", taLeftJustify},
      {u"ab", 20, "@0+12 10'ab'", taRightJustify},
      {u"ab", 20, "@0+12 5'ab'", taCenter},
      {u"ab", 21, "@0+12 5'ab'", taCenter},
      {u"abcdef", 20, "@0+12 0'abcdef'", taRightJustify},  // wider than the row: from the left
      {u"abcdef", 20, "@0+12 0'abcdef'", taCenter},
      {u"aa bbbb", 25, "@0+12 15'aa' | @12+12 5'bbbb'", taRightJustify},
      {u"aaa bbb", 100, "@0+12 65'aaa' 80' ' 85'bbb'", taRightJustify, false},
  });
}

TEST(TextLayoutTest, MixedSizesShareTheBaseline) {
  TRuxTextLayout layout;
  layout.SetText(u"a[SIZE=2.0]b[/SIZE]\nc");
  TFixedWidthMeasurer measurer;
  layout.Arrange(Params(100), measurer);
  ASSERT_EQ(layout.Rows().size(), 2u);
  ASSERT_EQ(layout.Runs().size(), 3u);
  // 'a': height 12, ascent 10; 'b': height 24, ascent 20; the row: ascent 20 + descent 4.
  EXPECT_EQ(layout.Rows()[0].Bounds, (TRuxTextRect{0, 0, 15, 24}));
  EXPECT_EQ(layout.Rows()[0].Baseline, 20);
  EXPECT_EQ(layout.Runs()[0].Bounds, (TRuxTextRect{0, 10, 5, 12}));
  EXPECT_EQ(layout.Runs()[1].Bounds, (TRuxTextRect{5, 0, 10, 24}));
  EXPECT_EQ(layout.Runs()[1].Font.Height, 20);
  EXPECT_EQ(layout.Runs()[2].Bounds, (TRuxTextRect{0, 24, 5, 12}));
  EXPECT_EQ(layout.Width(), 15);
  EXPECT_EQ(layout.Height(), 36);
}

TEST(TextLayoutTest, RunsCarryFontColoursAndLinks) {
  TRuxTextLayout layout;
  layout.SetText(u"[URL=t]a b[/URL] [B][BACKCOLOR=Yellow]c[/BACKCOLOR][/B] www.x.y");
  TFixedWidthMeasurer measurer;
  layout.Arrange(Params(1000), measurer);
  struct Expected {
    const char16_t* text;
    TRuxFontStyles styles;
    TRuxColor color;
    std::optional<TRuxColor> back;
    std::optional<String> link;
  } expected[] = {
      {u"a", FontStyleBit(fsUnderline), kLink, std::nullopt, u"t"},
      {u" ", FontStyleBit(fsUnderline), kLink, std::nullopt, u"t"},
      {u"b", FontStyleBit(fsUnderline), kLink, std::nullopt, u"t"},
      {u" ", 0, kText, std::nullopt, std::nullopt},
      {u"c", FontStyleBit(fsBold), kText, TRuxColor{255, 255, 0}, std::nullopt},
      {u" ", 0, kText, std::nullopt, std::nullopt},
      {u"www.x.y", FontStyleBit(fsUnderline), kLink, std::nullopt, u"https://www.x.y"},
  };
  ASSERT_EQ(layout.Runs().size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    const TRuxTextLayoutRun& run = layout.Runs()[i];
    EXPECT_EQ(run.Text, expected[i].text) << i;
    EXPECT_EQ(run.Font.Styles, expected[i].styles) << i;
    EXPECT_EQ(run.TextColor, expected[i].color) << i;
    EXPECT_EQ(run.BackColor, expected[i].back) << i;
    EXPECT_EQ(run.Link, expected[i].link) << i;
  }
}

TEST(TextLayoutTest, RunAt_FindsTheLinkUnderAPoint) {
  TRuxTextLayout layout;
  // The last word is twice the size: 130 wide, alone on its row, 24 high.
  layout.SetText(u"go [URL=https://a.example]here[/URL] and[SIZE=2.0] www.b.example");
  TFixedWidthMeasurer measurer;
  layout.Arrange(Params(40), measurer);
  ASSERT_EQ(DescribeRows(layout),
            "@0+12 0'go' 10' ' 15'here' | @12+12 0'and' | @24+24 0'www.b.example'");
  struct Probe {
    int x, y;
    std::optional<String> link;  // nullopt: no run, or a run without a link
  } probes[] = {
      {15, 0, u"https://a.example"},
      {34, 11, u"https://a.example"},
      {35, 5, std::nullopt},  // right of the row's last run
      {14, 5, std::nullopt},  // the blank before the link
      {-1, 5, std::nullopt},
      {5, 15, std::nullopt},
      {0, 24, u"https://www.b.example"},
      {119, 47, u"https://www.b.example"},
      {5, 48, std::nullopt},  // below the last row
      {5, -1, std::nullopt},
  };
  for (const Probe& p : probes) {
    const TRuxTextLayoutRun* run = layout.RunAt(p.x, p.y);
    EXPECT_EQ(run ? run->Link : std::nullopt, p.link) << p.x << "," << p.y;
  }
}

TEST(TextLayoutTest, SetTextEmptiesTheArrangementAndKeepsItsSettings) {
  TRuxTextLayout layout;
  TextImportSettings settings;
  settings.AutoDetectURLs = false;
  layout.SetText(u"www.a.b c", settings);
  TFixedWidthMeasurer measurer;
  layout.Arrange(Params(100), measurer);
  EXPECT_EQ(layout.Runs().size(), 3u);
  EXPECT_FALSE(layout.Runs()[0].Link);
  EXPECT_EQ(layout.Text(), u"www.a.b c");
  EXPECT_FALSE(layout.Settings().AutoDetectURLs);
  layout.SetText(u"x");
  EXPECT_TRUE(layout.Rows().empty());
  EXPECT_TRUE(layout.Runs().empty());
  EXPECT_EQ(layout.Height(), 0);
}

// A measurer that answers nonsense must not make rows run backwards.
class BrokenMeasurer : public ITextMeasurer {
 public:
  TRuxTextExtent Measure(const TRuxTextFont&, StringView) override { return {-7, -3, 50}; }
};

TEST(TextLayoutTest, NegativeMeasuresAreTakenAsZero) {
  TRuxTextLayout layout;
  layout.SetText(u"a b\n\nc");
  BrokenMeasurer measurer;
  layout.Arrange(Params(10), measurer);
  for (const TRuxTextLayoutRun& run : layout.Runs()) {
    EXPECT_GE(run.Bounds.Width, 0);
    EXPECT_GE(run.Bounds.Height, 0);
    EXPECT_GE(run.Bounds.Top, 0);
  }
  EXPECT_EQ(layout.Height(), 0);
}

class RecordingCanvas : public ITextLayoutCanvas {
 public:
  void FillRect(const TRuxTextRect& rect, TRuxColor color) override {
    calls.push_back("fill " + std::to_string(rect.Left) + "," + std::to_string(rect.Top) + " " +
                    std::to_string(rect.Width) + "x" + std::to_string(rect.Height) + " #" +
                    std::to_string(color.R) + "." + std::to_string(color.G) + "." +
                    std::to_string(color.B));
  }
  void DrawText(int x, int baseline, StringView text, const TRuxTextFont& font,
                TRuxColor color) override {
    calls.push_back("text " + std::to_string(x) + "," + std::to_string(baseline) + " '" +
                    StringToUtf8(text) + "' h" + std::to_string(font.Height) + " s" +
                    std::to_string(font.Styles) + " #" + std::to_string(color.R) + "." +
                    std::to_string(color.G) + "." + std::to_string(color.B));
  }
  std::vector<std::string> calls;
};

TEST(TextLayoutPainterTest, FillsFirstThenTexts_Offset) {
  TRuxTextLayout layout;
  layout.SetText(u"[BACKCOLOR=#FF0000]a[I]b[/I][/BACKCOLOR] [COLOR=Lime]c");
  TFixedWidthMeasurer measurer;
  layout.Arrange(Params(100), measurer);
  RecordingCanvas canvas;
  PaintTextLayout(layout, canvas, 3, 4);
  EXPECT_EQ(canvas.calls, (std::vector<std::string>{
                              "fill 3,4 5x12 #255.0.0",
                              "fill 8,4 5x12 #255.0.0",
                              "text 3,14 'a' h10 s0 #1.2.3",
                              "text 8,14 'b' h10 s2 #1.2.3",
                              "text 13,14 ' ' h10 s0 #1.2.3",
                              "text 18,14 'c' h10 s0 #0.255.0",
                          }));
}

}  // namespace
}  // namespace nolu
