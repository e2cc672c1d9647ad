// One table for both builds: on the host it checks the simple case folding, under Wine it
// checks CompareStringW. Both must agree for the names the setup uses.
#include "base/locale.h"

#include <gtest/gtest.h>

namespace nolu {
namespace {

struct NamePair {
  const char16_t* a;
  const char16_t* b;
  bool equal;
};

const NamePair kNames[] = {
    {u"Install.xml", u"INSTALL.XML", true},
    {u"English.lng", u"english.LNG", true},
    {u"Plugins\\PlugA\\a.dll", u"plugins\\pluga\\A.DLL", true},
    {u"Uninstall.ini", u"Uninstall.in", false},  // different length
    {u"Uninstall.ini", u"Uninstall.inf", false},
    {u"Grüße.txt", u"GRÜSSE.TXT", false},  // ß is not SS: the lengths differ
    {u"Grüße.txt", u"GRÜßE.TXT", true},
    {u"Ärger", u"äRGER", true},
    {u"Öl", u"öl", true},
    {u"Über", u"uber", false},  // an umlaut is not its base letter
    {u"Русский.lng", u"РУССКИЙ.LNG", true},
    {u"Ёлка", u"ёЛКА", true},
    {u"Ёлка", u"Елка", false},
    {u"Ελληνικά", u"ΕΛΛΗΝΙΚΆ", true},
    {u"Ωμέγα", u"ωΜΈΓΑ", true},
    {u"Ωμέγα", u"Ωμεγα", false},  // accents count
    {u"Nolu", u"Nolu ", false},
    {u"", u"", true},
};

TEST(LocaleTest, EqualsIgnoreCaseAgreesOnLatinCyrillicGreekAndGermanNames) {
  for (const NamePair& p : kNames) {
    EXPECT_EQ(EqualsIgnoreCase(p.a, p.b), p.equal)
        << StringToUtf8(p.a) << " vs " << StringToUtf8(p.b);
    EXPECT_EQ(EqualsIgnoreCase(p.b, p.a), p.equal);
    if (p.equal) {
      EXPECT_EQ(UpperCase(p.a), UpperCase(p.b)) << StringToUtf8(p.a);
      EXPECT_EQ(CompareIgnoreCase(p.a, p.b), 0) << StringToUtf8(p.a);
    } else if (String(p.a).size() == String(p.b).size()) {
      // Texts of different length may still sort together (the Windows comparison is
      // linguistic: "ß" sorts with "SS"); only the equality rule demands the same length.
      EXPECT_NE(CompareIgnoreCase(p.a, p.b), 0) << StringToUtf8(p.a);
    }
  }
}

TEST(LocaleTest, CompareIgnoreCaseOrdersAndIsAntisymmetric) {
  const char16_t* ordered[] = {u"a", u"B", u"c", u"Charlie", u"delta"};
  for (size_t i = 0; i + 1 < std::size(ordered); ++i) {
    EXPECT_LT(CompareIgnoreCase(ordered[i], ordered[i + 1]), 0) << i;
    EXPECT_GT(CompareIgnoreCase(ordered[i + 1], ordered[i]), 0) << i;
  }
}

TEST(LocaleTest, UpperCaseKeepsLength) {
  EXPECT_EQ(UpperCase(u"straße"), u"STRAßE");
  EXPECT_EQ(UpperCase(u"ёлка"), u"ЁЛКА");
  EXPECT_EQ(UpperCase(u"file-1.dll"), u"FILE-1.DLL");
}

TEST(LocaleTest, AnsiRoundTripsLatinText) {
  // Wine's and the host's ANSI code page is Windows-1252 for the default locale.
  const String text = u"Café Grüße";
  EXPECT_EQ(AnsiToString(StringToAnsi(text)), text);
  EXPECT_TRUE(IsAnsiRepresentable(text));
  EXPECT_FALSE(IsAnsiRepresentable(u"Привет"));
}

TEST(LocaleTest, DecodeCodePage_StrictlyOrNotAtAll) {
  struct Case {
    uint32_t code_page;
    std::string_view bytes;
    TCodePageDecoding result;
    const char16_t* text;
  } cases[] = {
      {1251, "\xCF\xF0\xE8", TCodePageDecoding::kDecoded, u"При"},
      {20866, "\xF0\xD2\xC9", TCodePageDecoding::kDecoded, u"При"},
      {28595, "\xBF\xE0\xD8", TCodePageDecoding::kDecoded, u"При"},
      {866, "\x8F\xE0\xA8", TCodePageDecoding::kDecoded, u"При"},
      {932, "\x93\xFA\x96\x7B", TCodePageDecoding::kDecoded, u"日本"},
      {1251, "", TCodePageDecoding::kDecoded, u""},
      // A lead byte without the byte it needs.
      {932, "\x93\xFA\x96", TCodePageDecoding::kInvalidText, nullptr},
      {99999, "x", TCodePageDecoding::kUnknownCodePage, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code_page);
    String text = u"unchanged";
    EXPECT_EQ(DecodeCodePage(c.code_page, c.bytes, text), c.result);
    EXPECT_EQ(text, c.text ? String(c.text) : u"unchanged");
  }
}

}  // namespace
}  // namespace nolu
