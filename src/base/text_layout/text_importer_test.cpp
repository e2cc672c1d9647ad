#include "base/text_layout/text_importer.h"

#include <gtest/gtest.h>

#include "base/text_layout/testing/describe_blocks.h"

namespace nolu {
namespace {

using namespace std::string_view_literals;

struct Case {
  StringView text;
  const char* blocks;  // DescribeBlocks of the result
};

TextImportSettings AllDetectors() {
  TextImportSettings settings;
  settings.AutoDetectEmails = true;
  settings.AutoDetectTimeCodes = true;
  return settings;
}

// Every block starts where the one before it ended, spans cover their blocks the same way,
// and the last block ends at the end of the text (or its first NUL).
void ExpectCoversInOrder(const TRuxTextLayoutBlockList& blocks, size_t begin, size_t end,
                         const std::string& context) {
  size_t pos = begin;
  for (const TRuxTextLayoutBlock& block : blocks) {
    EXPECT_EQ(block.Position(), pos) << context;
    if (block.Kind() == bkSpan) {
      ExpectCoversInOrder(static_cast<const TRuxTextLayoutBlockSpan&>(block).Blocks(),
                          block.Position(), block.End(), context);
    }
    pos = block.End();
  }
  EXPECT_EQ(pos, end) << context;
}

void ExpectImports(const std::vector<Case>& cases,
                   const TextImportSettings& settings = TextImportSettings()) {
  for (const Case& c : cases) {
    const String text(c.text);
    const TRuxTextLayoutBlockList blocks = TRuxTextImporter(settings).Import(text);
    EXPECT_EQ(DescribeBlocks(blocks), c.blocks) << StringToUtf8(text);
    ExpectCoversInOrder(blocks, 0, std::min(text.find(u'\0'), text.size()), StringToUtf8(text));
  }
}

TEST(TextImporterTest, Tags_AnyLetterCase_UnknownShownLiterally) {
  ExpectImports({
      {u"[B]bold[/B] text", "+B 'bold' -B _ 'text'"},
      {u"[b]bold[/b]", "+B 'bold' -B"},
      {u"[B]bold[/b]", "+B 'bold' -B"},
      {u"[i]a[/I] [u]b[/U] [s]c[/S]", "+I 'a' -I _ +U 'b' -U _ +S 'c' -S"},
      {u"[B]never closed", "+B 'never' _ 'closed'"},
      {u"[B=1]x", "+B 'x'"},  // a parameter of a tag that takes none is ignored
      // Names outside the table, and brackets without a partner, are text.
      {u"[Bold]x", "'[' 'Bold' ']' 'x'"},
      {u"[BB]", "'[' 'BB' ']'"},
      {u"[ B]", "'[' _ 'B' ']'"},
      {u"[]", "'[' ']'"},
      {u"[/]", "'[' '/' ']'"},
      {u"[/B=1]x", "'[' '/B=1' ']' 'x'"},  // a closing tag has no parameter
      {u"a [ b", "'a' _ '[' _ 'b'"},
      {u"a ] b", "'a' _ ']' _ 'b'"},
      {u"[B", "'[' 'B'"},
      {u"[[B]x", "'[' +B 'x'"},  // the first "[" has the name "[B": no tag
      {u"[B][/B]", "+B -B"},
      // A "]" after a NUL is beyond the text.
      {u"[B\0]x"sv, "'[' 'B'"},
  });
}

TEST(TextImporterTest, Tags_SwitchedOff_AreText) {
  TextImportSettings settings;
  settings.Tags = false;
  ExpectImports({{u"[B]x[/B]", "'[' 'B' ']' 'x' '[' '/B' ']'"}}, settings);
}

TEST(TextImporterTest, Colours_ByNameAndHex) {
  ExpectImports({
      {u"[COLOR=#FF0000]red[/COLOR]", "+COLOR(#FF0000) 'red' -COLOR"},
      {u"[COLOR=Red]x", "+COLOR(#FF0000) 'x'"},
      {u"[color=clNavy]x", "+COLOR(#000080) 'x'"},
      {u"[COLOR=F80]x", "+COLOR(#0F8000) 'x'"},
      {u"[COLOR=orange]x", "+COLOR(#FFA500) 'x'"},
      {u"[COLOR= Red ]x", "+COLOR(#FF0000) 'x'"},
      {u"[COLOR=]x", "+COLOR(#000000) 'x'"},
      {u"[COLOR]x", "+COLOR(#000000) 'x'"},
      {u"[BACKCOLOR=Yellow]x[/BACKCOLOR]", "+BACK(#FFFF00) 'x' -BACK"},
      {u"[COLOR=a=b]x", "+COLOR(#AB0000) 'x'"},  // the parameter runs from the first "="
  });
}

TEST(TextImporterTest, Sizes_PointsFactorsOrNeither) {
  ExpectImports({
      {u"[SIZE=14]a[/SIZE]", "+SIZE(14pt) 'a' -SIZE"},
      {u"[size=1.5]a", "+SIZE(x1.5) 'a'"},
      {u"[SIZE=big]a", "+SIZE(x1) 'a'"},
      {u"[SIZE]a", "+SIZE(x1) 'a'"},
      {u"[BIG]a[/BIG]", "+SIZE(x1.1) 'a' -SIZE"},
      {u"[SMALL]a", "+SIZE(x0.9) 'a'"},
  });
  TextImportSettings comma;
  comma.DecimalSeparator = u',';
  ExpectImports(
      {
          {u"[SIZE=1,5]a", "+SIZE(x1.5) 'a'"},
          {u"[SIZE=1.5]a", "+SIZE(x1.5) 'a'"},
      },
      comma);
  ExpectImports({{u"[SIZE=1,5]a", "+SIZE(x1) 'a'"}});
}

TEST(TextImporterTest, Spans_KeepWordsWithTagsInside) {
  ExpectImports({
      {u"[B]Nolu[/B]Setup is", "{+B 'Nolu' -B 'Setup'} _ 'is'"},
      {u"a[B]b[/B]c", "{'a' +B 'b' -B 'c'}"},
      {u"[B]bold[/B], then", "{+B 'bold' -B ','} _ 'then'"},
      // One text block is no span, however many tags it has.
      {u"[B][I]x[/I][/B] y", "+B +I 'x' -I -B _ 'y'"},
      // Delimiters end the group.
      {u"[B]a[/B](b)", "+B 'a' -B '(' 'b' ')'"},
  });
}

TEST(TextImporterTest, WebAddresses) {
  ExpectImports({
      {u"www.nolu.org", "+URL(https://www.nolu.org) 'www.nolu.org' -URL"},
      {u"see www.x.", "'see' _ +URL(https://www.x.) 'www.x.' -URL"},
      {u"www.nolu", "'www.nolu'"},  // no "." after "www."
      {u"www.", "'www.'"},
      {u"ww.nolu.org", "'ww.nolu.org'"},
      {u"wwww.nolu.org", "'wwww.nolu.org'"},
      {u"WWW.nolu.org", "'WWW.nolu.org'"},  // "www." as written
      {u"https://nolu.example/a?b=c",
       "+URL(https://nolu.example/a?b=c) 'https://nolu.example/a?b=c' -URL"},
      {u"ftp://x", "+URL(ftp://x) 'ftp://x' -URL"},
      {u"a://", "+URL(a://) 'a://' -URL"},
      {u"a:/x", "'a:/x'"},
      {u"://x", "'://x'"},
      {u"a:/\\x", "'a:/' '\\' 'x'"},  // "\" is a delimiter, so ":\\" never reaches the rule
      {u"(www.nolu.org)", "'(' +URL(https://www.nolu.org) 'www.nolu.org' -URL ')'"},
      // Glued to a tag: part of something larger, not an address.
      {u"[B]www.nolu.org[/B]", "+B 'www.nolu.org' -B"},
      {u"x[/B]www.nolu.org", "{'x' -B 'www.nolu.org'}"},
      {u"[B]a[/B] www.nolu.org", "+B 'a' -B _ +URL(https://www.nolu.org) 'www.nolu.org' -URL"},
  });
  TextImportSettings off;
  off.AutoDetectURLs = false;
  ExpectImports({{u"www.nolu.org", "'www.nolu.org'"}}, off);
}

TEST(TextImporterTest, ExplicitLinks_NoAutomaticLinkInside) {
  ExpectImports(
      {
          {u"[URL=https://nolu.example]site[/URL]", "+URL(https://nolu.example) 'site' -URL"},
          {u"[URL=x]www.nolu.org[/URL]", "+URL(x) 'www.nolu.org' -URL"},
          {u"[url=x]see www.nolu.org me@nolu.org 1:23[/url]",
           "+URL(x) 'see' _ 'www.nolu.org' _ 'me@nolu.org' _ '1:23' -URL"},
          {u"[URL= x ]y", "+URL(x) 'y'"},
          {u"[URL]y[/URL]", "+URL() 'y' -URL"},
          // After the tag is closed, detection is back.
          {u"[URL=x]a[/URL] www.b.org",
           "+URL(x) 'a' -URL _ +URL(https://www.b.org) 'www.b.org' -URL"},
          // Nested tags: detection waits for the outer one to close.
          {u"[URL=x][URL=y]a[/URL] www.b.org[/URL]", "+URL(x) +URL(y) 'a' -URL _ 'www.b.org' -URL"},
          // A closing tag without an opening one must not leave the depth below zero, which
          // would let words inside the next URL tag become links of their own.
          {u"[/URL]x [URL=t]see www.b.org[/URL]", "-URL 'x' _ +URL(t) 'see' _ 'www.b.org' -URL"},
      },
      AllDetectors());
}

TEST(TextImporterTest, Emails_PerTheHtmlPattern_OnlyWhenSwitchedOn) {
  ExpectImports({{u"me@nolu.org", "'me@nolu.org'"}});
  ExpectImports(
      std::vector<Case>{
          {u"me@nolu.org", "+URL(mailto:me@nolu.org) 'me@nolu.org' -URL"},
          {u"write me@nolu.org.", "'write' _ 'me@nolu.org.'"},  // an empty last label
          {u"a@b", "+URL(mailto:a@b) 'a@b' -URL"},
          {u"@nolu.org", "'@nolu.org'"},
          // An e-mail address is found even right after a tag.
          {u"[B]me@nolu.org", "+B +URL(mailto:me@nolu.org) 'me@nolu.org' -URL"},
          // E-mail comes before the web rule.
          {u"www.me@nolu.org", "+URL(mailto:www.me@nolu.org) 'www.me@nolu.org' -URL"},
      },
      AllDetectors());
}

TEST(TextImporterTest, TimeCodes_OffByDefault_ThenAtWordStartsOnly) {
  ExpectImports({{u"1:23", "'1:23'"}});
  ExpectImports(
      {
          {u"1:23", "+URL(time:83) '1:23' -URL"},
          {u"at 1:02:03.5", "'at' _ +URL(time:3723) '1:02:03.5' -URL"},
          {u"(4:05)", "'(' +URL(time:245) '4:05' -URL ')'"},
          {u"[4:05]", "'[' +URL(time:245) '4:05' -URL ']'"},
          {u"a\t4:05", "'a' _ +URL(time:245) '4:05' -URL"},
          {u"\u201C4:05\u201D", "'\u201C' '4:05' '\u201D'"},  // after a quotation mark: no
          {u"[B]4:05", "+B '4:05'"},                          // glued to a tag: no
          {u"4:5", "'4:5'"},
          {u"x4:05", "'x4:05'"},
      },
      AllDetectors());
}

TEST(TextImporterTest, LineBreaksBlanksAndEscapes) {
  ExpectImports({
      {u"a\nb", "'a' NL 'b'"},
      {u"a\r\nb", "'a' NL 'b'"},
      {u"a\rb", "'a' NL 'b'"},
      {u"a\n\r\nb", "'a' NL NL 'b'"},
      {u"a\\nb", "'a' NL 'b'"},
      {u"a\\Nb", "'a' '\\' 'Nb'"},
      {u"C:\\nolu", "'C:' NL 'olu'"},  // the escape wins, as in any text
      {u"a\\", "'a' '\\'"},
      {u"a\tb  c", "'a' _ 'b' _ _ 'c'"},
      {u"a\0b c"sv, "'a'"},
      {u"", ""},
  });
  TextImportSettings off;
  off.LineBreakEscapes = false;
  ExpectImports({{u"a\\nb", "'a' '\\' 'nb'"}}, off);
}

TEST(TextImporterTest, EveryDelimiterIsATextBlockOfItsOwn) {
  const String delimiters =
      u"[]()\\\u200B\u201C\u201D\u2018\u2019\uFF08\uFF09\uFF0C\uFF1A\uFF1B\uFF1F\u060C\u3000"
      u"\u3001\u3002\u300C\u300D\u300E\u300F\u300A\u300B\u3008\u3009\u3014\u3015";
  // With the five blanks and line ends the set has 35 characters.
  ASSERT_EQ(delimiters.size(), 30u);
  for (Char d : delimiters) {
    const String text = u"a" + String(1, d) + u"b";
    const TRuxTextLayoutBlockList blocks = TRuxTextImporter(TextImportSettings()).Import(text);
    EXPECT_EQ(DescribeBlocks(blocks), "'a' '" + StringToUtf8(String(1, d)) + "' 'b'")
        << static_cast<int>(d);
  }
  // Characters near the set are not in it.
  const TRuxTextLayoutBlockList blocks =
      TRuxTextImporter(TextImportSettings()).Import(u"a,b.c;d:e!f?g{h}i<j>k\u00A0l\u2014m");
  EXPECT_EQ(DescribeBlocks(blocks), "'a,b.c;d:e!f?g{h}i<j>k\u00A0l\u2014m'");
}

TEST(TextImporterTest, PositionsAndLengthsOfTheSource) {
  const String text = u"[B]ab[/B]c \r\nwww.x.y";
  const TRuxTextLayoutBlockList blocks = TRuxTextImporter(TextImportSettings()).Import(text);
  ASSERT_EQ(blocks.Count(), 6u);
  struct Expected {
    TRuxTextLayoutBlockKind kind;
    size_t position, length;
  } expected[] = {
      {bkSpan, 0, 10},      {bkSpace, 10, 1}, {bkLineBreak, 11, 2},
      {bkHyperlink, 13, 0}, {bkText, 13, 7},  {bkHyperlink, 20, 0},
  };
  for (size_t i = 0; i < blocks.Count(); ++i) {
    EXPECT_EQ(blocks[i].Kind(), expected[i].kind) << i;
    EXPECT_EQ(blocks[i].Position(), expected[i].position) << i;
    EXPECT_EQ(blocks[i].Length(), expected[i].length) << i;
  }
  const auto& span = static_cast<const TRuxTextLayoutBlockSpan&>(blocks[0]);
  EXPECT_EQ(span.Blocks()[0].Length(), 3u);  // "[B]"
  EXPECT_EQ(span.Blocks()[2].Length(), 4u);  // "[/B]"
}

}  // namespace
}  // namespace nolu
