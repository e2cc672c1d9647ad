#include "base/command_line_parser.h"

#include <gtest/gtest.h>

namespace nolu {
namespace {

// Tokens as "kind:text" separated by "|", e.g. "5:ab|1: |4:c d".
std::string Tokens(StringView text, StringView delimiters, StringView blanks, StringView quotes) {
  TRuxParser parser(text, delimiters, blanks, quotes);
  TRuxParser::TToken token;
  std::string out;
  while (parser.Next(token)) {
    if (!out.empty()) out += '|';
    out += std::to_string(token.Kind) + ':' + StringToUtf8(parser.TokenText(token));
  }
  return out;
}

TEST(RuxParserTest, SplitsTextIntoTheFiveKinds) {
  struct Case {
    const char16_t* text;
    const char* tokens;
  };
  // Delimiters "/", "=", blank; blanks blank and tab; quotes double and single quote.
  const Case cases[] = {
      {u"", ""},
      {u"/a=b", "2:/|5:a|2:=|5:b"},
      {u"a b", "5:a|1: |5:b"},
      // A blank that is not a delimiter does not end a word, but a word cannot start with it.
      {u"a\tb \tc", "5:a\tb|1: |1:\t|5:c"},
      {u"\"c d\"e", "4:c d|5:e"},
      {u"'it''s'", "4:it|4:s"},
      {u"\"\"", "4:"},
      // The closing quote is never escaped by a backslash.
      {u"\"C:\\x\\\" y", "4:C:\\x\\|1: |5:y"},
      // Without a closing quote the quote stands alone; the other quote kind does not close it.
      {u"\"ab'", "3:\"|5:ab'"},
      // A quote inside a word is part of the word.
      {u"a\"b c\"", "5:a\"b|1: |5:c\""},
      {u"==", "2:=|2:="},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Tokens(c.text, u"/= ", u" \t", u"\"'"), c.tokens) << StringToUtf8(c.text);
  }
}

TEST(RuxParserTest, QuotedTextPositionsLeaveTheQuotesOut) {
  TRuxParser parser(u"ab \"cd\" e", u" ", u" ", u"\"");
  TRuxParser::TToken token;
  ASSERT_TRUE(parser.Next(token));
  ASSERT_TRUE(parser.Next(token));
  ASSERT_TRUE(parser.Next(token));
  EXPECT_EQ(token.Kind, TRuxParser::tkQuotedText);
  EXPECT_EQ(token.Start, 4u);
  EXPECT_EQ(token.Length, 2u);
  EXPECT_EQ(parser.Position(), 7u);  // after the closing quote
}

// Commands as "[NAME]<value><value>...", in order.
std::string Render(const TRuxCommandLineProcessor::TCommands& commands) {
  std::string out;
  for (const auto& command : commands) {
    out += '[' + StringToUtf8(command.Name) + ']';
    for (const String& value : command.Values)
      out += '<' + StringToUtf8(value) + '>';
  }
  return out;
}

struct ParseCase {
  const char16_t* params;
  const char* commands;
};

void ExpectParses(const ParseCase* begin, const ParseCase* end) {
  for (const ParseCase* c = begin; c != end; ++c) {
    EXPECT_EQ(Render(TRuxCommandLineParser::Parse(c->params)), c->commands)
        << "params: " << StringToUtf8(c->params);
  }
}

TEST(CommandLineParserTest, SwitchesAndValues) {
  const ParseCase cases[] = {
      {u"", ""},
      {u"/SILENT", "[SILENT]"},
      {u"-SILENT", "[SILENT]"},
      {u"/AUTO=C:\\Dir", "[AUTO]<C:\\Dir>"},
      // A quoted folder keeps its blank and its trailing backslash.
      {u"/AUTO=\"C:\\Program Files\\Nolu\\\" /SILENT", "[AUTO]<C:\\Program Files\\Nolu\\>[SILENT]"},
      // Unquoted, the blank ends the value; the rest becomes free text.
      {u"/AUTO=C:\\Program Files\\Nolu", "[AUTO]<C:\\Program>[]<Files\\Nolu>"},
      {u"/X=a;b", "[X]<a><b>"},
      {u"/X=a;;b;", "[X]<a><b>"},
      {u"/X=", "[X]"},
      {u"/X=\"\"", "[X]"},
      {u"/X=\"a;b\";c", "[X]<a;b><c>"},
      // "-", "/" and "=" inside a value are text.
      {u"/X=a-b/c=d", "[X]<a-b/c=d>"},
      {u"/SKIPUAC=123 /AUTO /SILENT", "[SKIPUAC]<123>[AUTO][SILENT]"},
      {u"/X=1 /x=2", "[X]<1>[x]<2>"},
      {u"/A /B=1 -C", "[A][B]<1>[C]"},
      // After a value given with "=", a blank ends the switch, even right after the "=".
      {u"/X= a", "[X][]<a>"},
      {u"/X=a; b", "[X]<a>[]<b>"},
      // Names keep every character that is not a delimiter: a tab belongs to the name.
      {u"/A\tB=1", "[A\tB]<1>"},
      {u"/Äpfel=Birnen", "[Äpfel]<Birnen>"},
      // A lone quote inside a value is dropped; quotes inside words are kept.
      {u"/X=\"abc", "[X]<abc>"},
      {u"/X=abc\"d e\"", "[X]<abc\"d>[]<e\">"},
  };
  ExpectParses(std::begin(cases), std::end(cases));
}

TEST(CommandLineParserTest, FreeTextAndPrefixes) {
  const ParseCase cases[] = {
      {u"hello big  world", "[]<hello big  world>"},
      // A switch without "=" takes the free text after it.
      {u"/AUTO C:\\Dir", "[AUTO]<C:\\Dir>"},
      {u"/AUTO \"C:\\Program Files\\Nolu\\\" /SILENT", "[AUTO]<C:\\Program Files\\Nolu\\>[SILENT]"},
      {u"/AUTO my folder", "[AUTO]<my folder>"},
      {u"/A x /B y", "[A]<x>[B]<y>"},
      // Drive words and UNC paths begin a new value; other words join the one before.
      {u"C:\\a D:\\b \\\\srv\\share x", "[]<C:\\a><D:\\b><\\\\srv\\share x>"},
      {u"a C:\\b c", "[]<a><C:\\b c>"},
      {u"/X=a;C:\\b", "[X]<a><C:\\b>"},
      {u"/X=a=C:\\b", "[X]<a=><C:\\b>"},
      // Inside words "/" and "-" remain text.
      {u"my-file C:/x", "[]<my-file><C:/x>"},
      // "-" starts a switch only at the start of an item, and only once a switch was read or
      // nothing is buffered.
      {u"foo -X", "[]<foo -X>"},
      {u"-X foo -Y", "[X]<foo>[Y]"},
      {u"/A x -B", "[A]<x>[B]"},
      {u"/A x-B", "[A]<x-B>"},
      // A prefix not followed by a word is text, restored with its blank.
      {u"--X", "[]<--X>"},
      {u"foo / bar", "[]<foo / bar>"},
      {u"/A - b", "[A]<- b>"},
      {u"/", ""},
      {u"foo /", "[]<foo>"},
      {u"=a", "[]<=a>"},
      // Right after a name, anything but "=" is free text of that switch.
      {u"/A;b", "[A]<;b>"},
      // Quoted free text is a value of its own.
      {u"\"a b\" c", "[]<a b><c>"},
      {u"say \"hi", "[]<say \"hi>"},
      {u"/X=1 free \"q\" /Y", "[X]<1>[]<free><q>[Y]"},
  };
  ExpectParses(std::begin(cases), std::end(cases));
}

TEST(CommandLineParserTest, LineBreaks) {
  const ParseCase cases[] = {
      // In free text CR and LF end a value, like a drive word does.
      {u"a\r\nb", "[]<a><b>"},
      {u"/A x\ry\nz", "[A]<x><y><z>"},
      // They do not start a new item: a "/" after them is text.
      {u"a\n/X", "[]<a></X>"},
      // After "=" they are part of the value, which is trimmed at its ends.
      {u"/X=a\r\n", "[X]<a>"},
      {u"/X=a\r\nb", "[X]<a\r\nb>"},
      {u"\r\n/X", "[]</X>"},
  };
  ExpectParses(std::begin(cases), std::end(cases));
}

}  // namespace
}  // namespace nolu
