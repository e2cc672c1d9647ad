#include "base/text_encoding.h"

#include <gtest/gtest.h>

namespace nolu {
namespace {

TEST(TextEncodingTest, SplitLines) {
  struct Case {
    const char16_t* text;
    StringList lines;
  } cases[] = {
      {u"", {}},
      {u"a", {u"a"}},
      {u"a\r\n", {u"a"}},  // a final break adds nothing
      {u"a\r\n\r\nb", {u"a", u"", u"b"}},
      {u"a\rb\nc\r\nd", {u"a", u"b", u"c", u"d"}},
      {u"a\n\rb", {u"a", u"", u"b"}},  // LF CR is two breaks
      {u"a\u2028\r\nb\u2028\rc\u2028\nd\u2028\u2028e", {u"a", u"b", u"c", u"d", u"", u"e"}},
      {u"\r\n", {u""}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SplitLines(c.text), c.lines) << StringToUtf8(c.text);
}

TEST(TextEncodingTest, EncodeDecode_RoundTripsEveryEncoding) {
  const String text = u"[Ω]\r\nk=é€\U0001F600";
  for (TextEncoding encoding :
       {TextEncoding::kUtf8, TextEncoding::kUtf16LE, TextEncoding::kUtf16BE}) {
    TextEncoding detected;
    EXPECT_EQ(DecodeText(EncodeText(text, encoding), detected), text);
    EXPECT_EQ(detected, encoding);
  }
  TextEncoding detected;
  EXPECT_EQ(DecodeText(EncodeText(u"é€", TextEncoding::kAnsi), detected), u"é€");
  EXPECT_EQ(detected, TextEncoding::kAnsi);
}

TEST(TextEncodingTest, Hex) {
  EXPECT_EQ(BytesToHex({0x00, 0xAB, 0x7F}), u"00ab7f");
  Bytes bytes{9};
  EXPECT_TRUE(HexToBytes(u"0a1B", bytes));
  EXPECT_EQ(bytes, (Bytes{0x0A, 0x1B}));
  for (const char16_t* bad : {u"0a1", u"0x", u"g0", u"0a\u0661\u0662"}) {
    Bytes untouched{9};
    EXPECT_FALSE(HexToBytes(bad, untouched)) << StringToUtf8(bad);
    EXPECT_EQ(untouched, Bytes{9});
  }
}

}  // namespace
}  // namespace nolu
