#include "base/text.h"

#include <gtest/gtest.h>

namespace nolu {
namespace {

TEST(Utf8Test, RoundTripsEveryPlane) {
  const String samples[] = {u"",      u"Nolu",   u"Grüße",           u"Привет",
                            u"Ωμέγα", u"日本語", u"\U0001F3B5 note", String(1, u'\0') + u"x"};
  for (const String& s : samples) {
    EXPECT_EQ(Utf8ToString(StringToUtf8(s)), s);
    String strict;
    EXPECT_TRUE(TryUtf8ToString(StringToUtf8(s), strict));
    EXPECT_EQ(strict, s);
  }
}

TEST(Utf8Test, IllFormedInputBecomesReplacementCharacters) {
  struct Case {
    std::string input;
    String expected;
  } cases[] = {
      {"a\xFF"
       "b",
       u"a\uFFFDb"},
      {"\xC3", u"\uFFFD"},                                // truncated two-byte sequence
      {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong "/"
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf8ToString(c.input), c.expected) << c.input;
    String strict;
    EXPECT_FALSE(TryUtf8ToString(c.input, strict)) << c.input;
  }
}

TEST(Utf8Test, UnpairedSurrogateEncodesAsReplacement) {
  EXPECT_EQ(StringToUtf8(String(1, static_cast<Char>(0xD800))), "\xEF\xBF\xBD");
}

TEST(Windows1252Test, MapsTheHighHalfAndRoundTrips) {
  EXPECT_EQ(Windows1252ToString("\x80\x9F\xE4\xDF"), u"\u20AC\u0178äß");
  std::string all;
  for (int b = 1; b < 256; ++b)
    all.push_back(static_cast<char>(b));
  EXPECT_EQ(StringToWindows1252(Windows1252ToString(all)), all);
  EXPECT_EQ(StringToWindows1252(u"Я"), "?");
}

TEST(TryStrToIntTest, AcceptsOnlyPlainDecimal) {
  struct Case {
    String text;
    bool ok;
    int64_t value;
  } cases[] = {
      {u"0", true, 0},
      {u"5401", true, 5401},
      {u"-12", true, -12},
      {u"+7", true, 7},
      {u"9223372036854775807", true, INT64_MAX},
      {u"-9223372036854775808", true, INT64_MIN},
      {u"9223372036854775808", false, 0},  // overflow
      {u"", false, 0},
      {u"-", false, 0},
      {u" 1", false, 0},
      {u"1 ", false, 0},
      {u"0x10", false, 0},
      {u"true", false, 0},
      {u"１", false, 0},  // full-width digits are not integers
  };
  for (const Case& c : cases) {
    int64_t value = -999;
    EXPECT_EQ(TryStrToInt(c.text, value), c.ok) << StringToUtf8(c.text);
    if (c.ok) {
      EXPECT_EQ(value, c.value);
    }
  }
}

TEST(TextTest, ZeroPaddedFillsUpToTheWidthAndNeverCuts) {
  EXPECT_EQ(ZeroPadded(3, 2), u"03");
  EXPECT_EQ(ZeroPadded(2024, 4), u"2024");
  EXPECT_EQ(ZeroPadded(12345, 2), u"12345");
  EXPECT_EQ(ZeroPadded(0, 3), u"000");
  EXPECT_EQ(ZeroPadded(-7, 3), u"-007");
}

TEST(TextTest, TrimControlsRemovesBlanksAndControlCharactersOnly) {
  EXPECT_EQ(TrimControls(u" \t\r\n a b \x01"), u"a b");
  EXPECT_EQ(TrimControls(u"\u00A0x"), u"\u00A0x");  // no-break space is not below 33
  EXPECT_EQ(TrimControls(u"   "), u"");
}

TEST(TextTest, ReplaceAllIsCaseSensitiveAndNonOverlapping) {
  EXPECT_EQ(ReplaceAll(u"$NAME and $name", u"$NAME", u"Nolu"), u"Nolu and $name");
  EXPECT_EQ(ReplaceAll(u"aaa", u"aa", u"b"), u"ba");
  EXPECT_EQ(ReplaceAll(u"x", u"", u"y"), u"x");
}

}  // namespace
}  // namespace nolu
