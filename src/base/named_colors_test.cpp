#include "base/named_colors.h"

#include <gtest/gtest.h>

namespace nolu {
namespace {

TEST(NamedColorsTest, IdentifiersAndWebNames) {
  struct Case {
    const char16_t* name;
    std::optional<TRuxColor> ident;
    std::optional<TRuxColor> web;
  } cases[] = {
      {u"clRed", TRuxColor{255, 0, 0}, std::nullopt},
      {u"CLRED", TRuxColor{255, 0, 0}, std::nullopt},  // ASCII case ignored
      {u"Red", std::nullopt, TRuxColor{255, 0, 0}},    // identifiers carry the "cl"
      {u"clMaroon", TRuxColor{128, 0, 0}, std::nullopt},
      {u"clNavy", TRuxColor{0, 0, 128}, std::nullopt},
      {u"clLtGray", TRuxColor{192, 192, 192}, std::nullopt},
      {u"clDkGray", TRuxColor{128, 128, 128}, std::nullopt},
      {u"clMoneyGreen", TRuxColor{192, 220, 192}, std::nullopt},
      {u"clCream", TRuxColor{255, 251, 240}, std::nullopt},
      {u"clMedGray", TRuxColor{160, 160, 164}, std::nullopt},
      // The one name the two tables read differently.
      {u"clSkyBlue", TRuxColor{166, 202, 240}, std::nullopt},
      {u"SkyBlue", std::nullopt, TRuxColor{135, 206, 235}},
      {u"Orange", std::nullopt, TRuxColor{255, 165, 0}},
      {u"darkslategrey", std::nullopt, TRuxColor{47, 79, 79}},
      {u"RebeccaPurple", std::nullopt, TRuxColor{102, 51, 153}},
      {u"gray", std::nullopt, TRuxColor{128, 128, 128}},  // CSS, not X11's lighter grey
      // System colours follow the theme: not named here.
      {u"clBtnFace", std::nullopt, std::nullopt},
      {u"clWindowText", std::nullopt, std::nullopt},
      {u"clNone", std::nullopt, std::nullopt},
      {u"", std::nullopt, std::nullopt},
      {u"cl", std::nullopt, std::nullopt},
      {u"red ", std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ColorFromIdent(c.name), c.ident) << StringToUtf8(c.name);
    EXPECT_EQ(ColorFromWebName(c.name), c.web) << StringToUtf8(c.name);
  }
}

TEST(NamedColorsTest, TheSixteenBasicColoursAgreeInBothTables) {
  for (const char16_t* name :
       {u"Black", u"Maroon", u"Green", u"Olive", u"Navy", u"Purple", u"Teal", u"Gray", u"Silver",
        u"Red", u"Lime", u"Yellow", u"Blue", u"Fuchsia", u"Aqua", u"White"}) {
    const auto ident = ColorFromIdent(u"cl" + String(name));
    ASSERT_TRUE(ident) << StringToUtf8(name);
    EXPECT_EQ(ident, ColorFromWebName(name)) << StringToUtf8(name);
  }
}

}  // namespace
}  // namespace nolu
