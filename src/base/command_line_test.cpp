#include "base/command_line.h"

#include <gtest/gtest.h>

#include "base/command_line_parser.h"
#include "base/format.h"

namespace nolu {
namespace {

TEST(CmdLineParamsTest, SplitsOffTheProgramPath) {
  struct Case {
    StringView command_line;
    const char16_t* params;
  };
  const Case cases[] = {
      {u"\"C:\\Program Files\\Nolu\\Setup.exe\" /SILENT", u"/SILENT"},
      {u"C:\\Nolu\\Setup.exe /AUTO=C:\\x /SILENT", u"/AUTO=C:\\x /SILENT"},
      {u"C:\\Nolu\\Setup.exe", u""},
      {u"\"C:\\Program Files\\Nolu\\Setup.exe\"", u""},
      {u"", u""},
      {u" \t\r\n ", u""},
      {u"  \"C:\\a b\\Setup.exe\"   /X  \"q\"  \r\n", u"/X  \"q\""},
      // The closing quote ends the path even without a blank after it.
      {u"\"C:\\a b\\Setup.exe\"/X", u"/X"},
      {u"\"C:\\a b\\Set\"up.exe /X", u"up.exe /X"},
      // A quote inside an unquoted path does not quote anything.
      {u"C:\\a\"b c\"\\Setup.exe /X", u"c\"\\Setup.exe /X"},
      // As for the system, a tab ends an unquoted path and a single quote quotes nothing.
      {u"C:\\Nolu\\Setup.exe\t/SILENT", u"/SILENT"},
      {u"'s-Hertogenbosch\\Setup.exe /SILENT", u"/SILENT"},
      {u"'C:\\a b\\Setup.exe' /X", u"b\\Setup.exe' /X"},
      // A quote that is never closed makes the whole line the program path.
      {u"\"C:\\a b\\Setup.exe /SILENT", u""},
      {StringView(u"Setup.exe /X\0", 13), u"/X"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CmdLineParams(c.command_line), c.params) << StringToUtf8(c.command_line);
  }
}

TEST(GetSwitchValueTest, FindsTheFirstSwitchIgnoringCase) {
  struct Case {
    const char16_t* params;
    const char16_t* name;
    bool found;
    const char16_t* value;
  };
  const Case cases[] = {
      {u"/AUTO=\"C:\\Program Files\\Nolu\\\" /SILENT", u"AUTO", true, u"C:\\Program Files\\Nolu\\"},
      {u"/AUTO=\"C:\\Program Files\\Nolu\\\" /SILENT", u"SILENT", true, u""},
      {u"/auto", u"AUTO", true, u""},
      {u"/Auto=x", u"AUTO", true, u"x"},
      {u"/AUTO", u"auto", true, u""},
      // Names are compared under the locale, not only in ASCII.
      {u"/путь=C:\\x", u"ПУТЬ", true, u"C:\\x"},
      {u"/größe=1", u"GRÖßE", true, u"1"},
      // Same length is part of equality.
      {u"/AUTOX", u"AUTO", false, u""},
      {u"/AUT", u"AUTO", false, u""},
      {u"/X=a;b", u"X", true, u"a;b"},
      {u"/X=", u"X", true, u""},
      {u"/X=\"a;b\";c", u"X", true, u"a;b;c"},
      {u"--X", u"X", false, u""},
      {u"/X=1 /x=2", u"X", true, u"1"},
      {u"/SKIPUAC=123 /AUTO=C:\\Dir -SILENT", u"SKIPUAC", true, u"123"},
      {u"/SKIPUAC=123 /AUTO=C:\\Dir -SILENT", u"AUTO", true, u"C:\\Dir"},
      {u"/SKIPUAC=123 /AUTO=C:\\Dir -SILENT", u"SILENT", true, u""},
      {u"/AUTO=C:\\Program Files\\Nolu", u"AUTO", true, u"C:\\Program"},
      {u"/AUTO C:\\Dir", u"AUTO", true, u"C:\\Dir"},
      // Free text before any switch belongs to the command without a name.
      {u"free text /X", u"", true, u"free text"},
      {u"C:\\a D:\\b", u"", true, u"C:\\a;D:\\b"},
      {u"/X", u"", false, u""},
      {u"", u"AUTO", false, u""},
      {u"", u"", false, u""},
  };
  for (const Case& c : cases) {
    String value = u"stale";
    EXPECT_EQ(GetSwitchValue(c.params, c.name, value), c.found)
        << StringToUtf8(c.params) << " / " << StringToUtf8(c.name);
    EXPECT_EQ(value, c.value) << StringToUtf8(c.params) << " / " << StringToUtf8(c.name);
    EXPECT_EQ(HasSwitch(c.params, c.name), c.found);
  }
}

TEST(GetSwitchValueTest, ProgramPathOnlyAnswersEveryQueryWithFalse) {
  const String params = CmdLineParams(u"\"C:\\Program Files\\Nolu\\Setup.exe\"   ");
  EXPECT_EQ(params, u"");
  for (const char16_t* name : {u"AUTO", u"SILENT", u"SKIPUAC", u"PATH", u""}) {
    String value = u"stale";
    EXPECT_FALSE(GetSwitchValue(params, name, value));
    EXPECT_EQ(value, u"");
  }
}

// The program hands its parameters on when it restarts itself: elevated with "/SKIPUAC=%d %s",
// and an uninstaller moved to the temporary folder with "/PATH="%s" %s", the folder ending in
// a backslash right before the closing quote. The restarted program must read the original
// switches unchanged, plus the added one.
TEST(CommandLineRelaunchTest, RestartedProgramReadsTheSameSwitches) {
  const char16_t* originals[] = {
      u"",
      u"/AUTO",
      u"/SILENT /AUTO=\"C:\\Program Files (x86)\\Nolu\\\"",
      u"/auto=D:\\Nolu /PORTABLE",
      u"-SILENT -AUTO",
      u"/AUTO C:\\Dir",
      u"/X=a;b;\"c d\" free text",
      u"free C:\\text /X",
      u"/AUTO=C:\\Program Files\\Nolu",
      // A switch given by the user again is shadowed by the one the program adds first.
      u"/SKIPUAC=999 /PATH=\"C:\\elsewhere\\\"",
  };
  const char16_t* folders[] = {
      u"C:\\Program Files\\Nolu\\",
      u"C:\\Program Files (x86)\\Nolu 5; beta=-1\\",
      u"\\\\server\\share\\Nolu\\",
  };
  using Commands = TRuxCommandLineProcessor::TCommands;
  for (const char16_t* original : originals) {
    const String params = CmdLineParams(String(u"\"C:\\Users\\Ann\\Setup.exe\" ") + original);
    const Commands expected = TRuxCommandLineParser::Parse(params);

    const String elevated_line =
        u"\"C:\\Users\\Ann\\Setup.exe\" " + Format(u"/%s=%d %s", {u"SKIPUAC", 123456, params});
    const String elevated = CmdLineParams(elevated_line);
    Commands with_skipuac = {{u"SKIPUAC", {u"123456"}}};
    with_skipuac.insert(with_skipuac.end(), expected.begin(), expected.end());
    EXPECT_EQ(TRuxCommandLineParser::Parse(elevated), with_skipuac) << StringToUtf8(elevated);
    String value;
    EXPECT_TRUE(GetSwitchValue(elevated, u"SKIPUAC", value));
    EXPECT_EQ(value, u"123456");

    for (const char16_t* folder : folders) {
      const String moved_line = String(u"\"C:\\Temp\\Uninstall.exe\" ") +
                                Format(u"/%s=\"%s\" %s", {u"PATH", folder, elevated});
      const String moved = CmdLineParams(moved_line);
      Commands with_path = {{u"PATH", {folder}}};
      with_path.insert(with_path.end(), with_skipuac.begin(), with_skipuac.end());
      EXPECT_EQ(TRuxCommandLineParser::Parse(moved), with_path) << StringToUtf8(moved);
      EXPECT_TRUE(GetSwitchValue(moved, u"PATH", value));
      EXPECT_EQ(value, folder);
      EXPECT_TRUE(GetSwitchValue(moved, u"SKIPUAC", value));
      EXPECT_EQ(value, u"123456");
    }
  }
}

}  // namespace
}  // namespace nolu
