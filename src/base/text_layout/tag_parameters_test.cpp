#include "base/text_layout/tag_parameters.h"

#include <gtest/gtest.h>

namespace nolu {
namespace {

TEST(TagParametersTest, Colours) {
  struct Case {
    const char16_t* parameter;
    TRuxColor color;
  } cases[] = {
      {u"#FF0000", {255, 0, 0}},
      {u"#FF8000", {255, 128, 0}},
      {u"ff8000", {255, 128, 0}},
      {u"F80", {0x0F, 0x80, 0x00}},  // odd count: a "0" in front, then padded
      {u"8", {0x08, 0x00, 0x00}},
      {u"1234", {0x12, 0x34, 0x00}},
      {u"12345678", {0x12, 0x34, 0x56}},  // only the first three pairs count
      {u"1234567", {0x01, 0x23, 0x45}},   // odd: the "0" goes in front of all seven
      {u"0x00FF00", {0x00, 0x00, 0xFF}},  // "x" dropped, the leading "0" stays a digit
      {u"", {0, 0, 0}},
      {u"none", {0x0E, 0x00, 0x00}},  // not a name: its one hex digit "e"
      {u"Red", {255, 0, 0}},
      {u"clRed", {255, 0, 0}},
      {u"RED", {255, 0, 0}},
      {u"  Red\t", {255, 0, 0}},
      {u"Navy", {0, 0, 128}},
      {u"SkyBlue", {166, 202, 240}},  // the framework's name wins over the web's
      {u"Orange", {255, 165, 0}},
      {u"Beige", {245, 245, 220}},  // a web name, though its letters b and e are hex digits
      {u"cl", {0x0C, 0x00, 0x00}},
  };
  for (const Case& c : cases) {
    const TRuxColor color = ColorFromTagParameter(c.parameter);
    EXPECT_EQ(color, c.color) << StringToUtf8(c.parameter) << ": " << int(color.R) << ","
                              << int(color.G) << "," << int(color.B);
  }
}

TEST(TagParametersTest, Sizes) {
  struct Case {
    const char16_t* parameter;
    Char separator;
    TRuxFontSizeValue size;
  } cases[] = {
      {u"14", u'.', TRuxFontSizeValue::InPoints(14)},
      {u"+14", u'.', TRuxFontSizeValue::InPoints(14)},
      {u" 14 ", u'.', TRuxFontSizeValue::InPoints(14)},
      {u"0", u'.', TRuxFontSizeValue::InPoints(0)},
      {u"-3", u'.', TRuxFontSizeValue::InPoints(-3)},
      {u"99999999999999999999", u'.', TRuxFontSizeValue::InPoints(2147483647)},
      {u"1.5", u'.', TRuxFontSizeValue::Times(1.5)},
      {u".5", u'.', TRuxFontSizeValue::Times(0.5)},
      {u"2.", u'.', TRuxFontSizeValue::Times(2.0)},
      {u"-1.5", u'.', TRuxFontSizeValue::Times(-1.5)},
      {u"1,5", u',', TRuxFontSizeValue::Times(1.5)},
      {u"1.5", u',', TRuxFontSizeValue::Times(1.5)},  // the point reads everywhere
      {u"1,5", u'.', TRuxFontSizeValue::Times(1.0)},  // a comma only where it is the user's
      {u"big", u'.', TRuxFontSizeValue::Times(1.0)},
      {u"", u'.', TRuxFontSizeValue::Times(1.0)},
      {u".", u'.', TRuxFontSizeValue::Times(1.0)},
      {u"-", u'.', TRuxFontSizeValue::Times(1.0)},
      {u"1.5.5", u'.', TRuxFontSizeValue::Times(1.0)},
      {u"14pt", u'.', TRuxFontSizeValue::Times(1.0)},
      {u"1e3", u'.', TRuxFontSizeValue::Times(1.0)},
      {u"\uFF11\uFF14", u'.', TRuxFontSizeValue::Times(1.0)},  // full-width digits are no number
  };
  for (const Case& c : cases) {
    const TRuxFontSizeValue size = FontSizeFromTagParameter(c.parameter, c.separator);
    EXPECT_EQ(size.Absolute, c.size.Absolute) << StringToUtf8(c.parameter);
    if (c.size.Absolute) {
      EXPECT_EQ(size.Points, c.size.Points) << StringToUtf8(c.parameter);
    } else {
      EXPECT_DOUBLE_EQ(size.Factor, c.size.Factor) << StringToUtf8(c.parameter);
    }
  }
}

}  // namespace
}  // namespace nolu
