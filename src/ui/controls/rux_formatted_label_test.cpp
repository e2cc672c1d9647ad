// The formatted label: what it paints through the canvas for the markup, its link colours,
// its rows, and what a click on a link does with each kind of target.
#include "ui/controls/rux_formatted_label.h"

#include <gtest/gtest.h>

#include "ui/controls/recording_canvas.h"
#include "ui/controls/rux_application.h"
#include "ui/controls/rux_form.h"
#include "ui/headless/headless_backend.h"

namespace nolu::ui {
namespace {

class FormattedLabelTest : public ::testing::Test {
 protected:
  FormattedLabelTest() { label_.SetBounds({0, 0, 400, 60}); }

  // The runs as painted (text, colour, font), after painting the label once.
  std::vector<TCanvasCall> PaintedRuns(int dpi = 96) {
    TRecordingCanvas canvas(dpi);
    label_.Paint(canvas);
    return canvas.Runs();
  }
  const TCanvasCall* Run(const std::vector<TCanvasCall>& runs, StringView text) {
    for (const TCanvasCall& run : runs)
      if (run.Text == text) return &run;
    return nullptr;
  }

  TRuxFormattedLabel label_;
};

TEST_F(FormattedLabelTest, MarkupReachesTheCanvas) {
  const TRuxTheme theme;
  struct Case {
    const char16_t* text;
    const char16_t* word;
    TColor color;
    TRuxFontStyles styles;
    int height;  // pixels at 96 DPI; the label's font is 9 pt = 12 pixels
  };
  const Case cases[] = {
      {u"[b]bold[/B] plain", u"bold", label_.TextColor(), FontStyleBit(fsBold), 12},
      {u"[COLOR=#FF0000]red[/COLOR]", u"red", TColor::Rgb(255, 0, 0), 0, 12},
      {u"[color=F80]orange[/color]", u"orange", TColor::Rgb(0x0F, 0x80, 0x00), 0, 12},
      {u"[SIZE=14]big[/SIZE]", u"big", label_.TextColor(), 0, 19},
      {u"[SIZE=1.5]half[/SIZE]", u"half", label_.TextColor(), 0, 18},
      {u"[SIZE=huge]same[/SIZE]", u"same", label_.TextColor(), 0, 12},
      {u"see www.nolu.example now", u"www.nolu.example", theme.Link, FontStyleBit(fsUnderline), 12},
      // Unknown tags and a lone bracket show literally.
      {u"[blink]x", u"blink", label_.TextColor(), 0, 12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(StringToUtf8(c.text));
    label_.SetText(c.text);
    const std::vector<TCanvasCall> runs = PaintedRuns();
    const TCanvasCall* run = Run(runs, c.word);
    ASSERT_NE(run, nullptr);
    EXPECT_EQ(run->Color, c.color);
    EXPECT_EQ(run->RunFont.Styles, c.styles);
    EXPECT_EQ(run->RunFont.Height, c.height);
  }
}

TEST_F(FormattedLabelTest, ABackgroundColourIsFilledBehindItsTextOnly) {
  label_.SetTransparent(true);
  label_.SetText(u"a [BACKCOLOR=Red]marked[/BACKCOLOR] word");
  TRecordingCanvas canvas;
  label_.Paint(canvas);
  ASSERT_EQ(canvas.Fills().size(), 1u);  // transparent: no fill of its own
  EXPECT_EQ(canvas.Fills()[0].Color, TColor::Rgb(255, 0, 0));
  const std::vector<TCanvasCall> runs = canvas.Runs();
  const TCanvasCall* marked = Run(runs, u"marked");
  ASSERT_NE(marked, nullptr);
  EXPECT_EQ(canvas.Fills()[0].Rect.Left, marked->Rect.Left);
}

TEST_F(FormattedLabelTest, LinksAreDrawnInTheDisabledColourWhileDisabled) {
  const TRuxTheme theme;
  label_.SetText(u"https://nolu.example");
  EXPECT_EQ(Run(PaintedRuns(), u"https://nolu.example")->Color, theme.Link);
  label_.SetEnabled(false);
  EXPECT_EQ(Run(PaintedRuns(), u"https://nolu.example")->Color, theme.DisabledText);
}

TEST_F(FormattedLabelTest, WordWrapBreaksRowsAtTheWidthAndDPIScalesThem) {
  label_.SetBounds({0, 0, 60, 100});
  label_.SetText(u"one two three four");
  // 6 pixels a character at 96 DPI: "one two" is 42 wide, "one two three" would be 78.
  std::vector<TCanvasCall> runs = PaintedRuns();
  ASSERT_NE(Run(runs, u"three"), nullptr);
  EXPECT_EQ(Run(runs, u"one")->Rect.Top, Run(runs, u"two")->Rect.Top);
  EXPECT_GT(Run(runs, u"three")->Rect.Top, Run(runs, u"two")->Rect.Top);
  EXPECT_EQ(Run(runs, u"three")->Rect.Left, 0);
  label_.SetWordWrap(false);
  runs = PaintedRuns();
  EXPECT_EQ(Run(runs, u"four")->Rect.Top, Run(runs, u"one")->Rect.Top);
}

TEST_F(FormattedLabelTest, OptionsDecideWhatBecomesALinkAndReimportTheText) {
  struct Case {
    TRuxFormattedLabelOptions options;
    const char16_t* text;
    const char16_t* word;
    std::optional<String> target;
  };
  const Case cases[] = {
      // By default: e-mail and web addresses, no time codes.
      {kDefaultFormattedLabelOptions, u"mail me@nolu.example", u"me@nolu.example",
       u"mailto:me@nolu.example"},
      {kDefaultFormattedLabelOptions, u"at 1:30 here", u"1:30", std::nullopt},
      {FormattedLabelOption(floAutoDetectTimeCodes), u"at 1:30 here", u"1:30", u"time:90"},
      {0, u"www.nolu.example", u"www.nolu.example", std::nullopt},
      // No automatic link inside an explicit one, nor after a glued tag.
      {kDefaultFormattedLabelOptions, u"[URL=https://a.example]www.b.example[/URL]",
       u"www.b.example", u"https://a.example"},
      {kDefaultFormattedLabelOptions, u"[B]x[/B]www.b.example", u"www.b.example", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(StringToUtf8(c.text));
    label_.SetText(c.text);
    label_.SetOptions(c.options);
    TRecordingCanvas canvas;
    label_.Paint(canvas);
    std::optional<String> target;
    for (const TRuxTextLayoutRun& run : label_.Layout().Runs())
      if (run.Text == c.word) target = run.Link;
    EXPECT_EQ(target, c.target);
    label_.SetOptions(kDefaultFormattedLabelOptions);
  }
}

TEST_F(FormattedLabelTest, AClickRunsTheHandlerAndOpensOnlyAddressesWithAScheme) {
  THeadlessBackend backend;
  TRuxApplication application(backend);
  TRuxForm form(application);
  label_.SetParent(&form);
  StringList opened;
  application.SetLinkOpener([&](StringView target) { opened.push_back(String(target)); });
  struct Case {
    const char16_t* text;
    bool handle;
    std::optional<String> opened;
  };
  const Case cases[] = {
      {u"https://nolu.example", false, u"https://nolu.example"},
      {u"www.nolu.example", false, u"https://www.nolu.example"},
      {u"https://nolu.example", true, std::nullopt},        // the handler took it
      {u"me@nolu.example", false, std::nullopt},            // "mailto:" opens nothing by itself
      {u"[URL=nolu.example]x[/URL]", false, std::nullopt},  // no scheme: not an address
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(StringToUtf8(c.text));
    opened.clear();
    StringList handled;
    label_.OnLinkExecute = [&](StringView target, bool& done) {
      handled.push_back(String(target));
      done = c.handle;
    };
    label_.SetText(c.text);
    TRecordingCanvas canvas;
    label_.Paint(canvas);
    ASSERT_FALSE(label_.Layout().Runs().empty());
    const TRuxTextRect cell = label_.Layout().Runs().front().Bounds;
    EXPECT_TRUE(label_.ClickAt(cell.Left + 1, cell.Top + 1));
    EXPECT_EQ(handled.size(), 1u);
    EXPECT_EQ(opened, c.opened ? StringList{*c.opened} : StringList{});
    // Beside the text there is no link.
    EXPECT_FALSE(label_.ClickAt(390, 55));
  }
  label_.SetParent(nullptr);
}

}  // namespace
}  // namespace nolu::ui
