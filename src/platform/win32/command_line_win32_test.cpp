// The program path that CmdLineParams splits off must be the one the system sees, or the
// program would read part of its own path as switches, or lose switches that follow it.
#include <windows.h>
// clang-format off: shellapi.h needs the declarations of windows.h.
#include <shellapi.h>
// clang-format on

#include <gtest/gtest.h>

#include <algorithm>

#include "base/command_line.h"

namespace nolu {
namespace {

// The parameters the system's split implies: the raw line after its first argument (with the
// quotes around it, if any), trimmed as CmdLineParams trims.
String ParamsAfterSystemProgramPath(const String& command_line) {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(reinterpret_cast<const wchar_t*>(command_line.c_str()), &count);
  if (args == nullptr || count < 1) {
    ADD_FAILURE() << "CommandLineToArgvW failed for " << StringToUtf8(command_line);
    if (args != nullptr) LocalFree(args);
    return String();
  }
  const String path(reinterpret_cast<const Char*>(args[0]));
  LocalFree(args);
  size_t consumed = path.size();
  if (StartsWith(command_line, u"\"")) {
    consumed += 1;
    if (command_line.size() > consumed && command_line[consumed] == u'"') consumed += 1;
  }
  EXPECT_LE(consumed, command_line.size()) << StringToUtf8(command_line);
  return TrimControls(StringView(command_line).substr(std::min(consumed, command_line.size())));
}

TEST(CmdLineParamsWin32Test, SplitsOffTheSameProgramPathAsTheSystem) {
  const char16_t* lines[] = {
      u"\"C:\\Program Files\\Nolu\\Setup.exe\" /SILENT /AUTO=\"C:\\Program Files\\Nolu\\\"",
      u"\"C:\\Program Files\\Nolu\\Setup.exe\"/SILENT",
      u"\"C:\\Program Files\\Nolu\\Setup.exe\"",
      u"\"C:\\Program Files\\Nolu\\Setup.exe\"   ",
      u"C:\\Nolu\\Setup.exe /SKIPUAC=123 /AUTO",
      u"C:\\Nolu\\Setup.exe",
      u"C:\\Nolu\\Setup.exe    ",
      u"C:\\Nolu\\Setup.exe\t/SILENT",
      u"Setup.exe x",
      u"C:\\a\"b c\"\\Setup.exe /X",
      u"'s-Hertogenbosch\\Setup.exe /SILENT",
      u"\"C:\\a b\\Set\"up.exe /X",
      u"\"C:\\Program Files\\Nolu\\Setup.exe /SILENT",
  };
  for (const char16_t* line : lines) {
    EXPECT_EQ(CmdLineParams(line), ParamsAfterSystemProgramPath(line)) << StringToUtf8(line);
  }
}

TEST(CmdLineParamsWin32Test, ReadsThisProcessCommandLineAsTheSystemDoes) {
  const String line(reinterpret_cast<const Char*>(GetCommandLineW()));
  EXPECT_EQ(CmdLineParams(line), ParamsAfterSystemProgramPath(line)) << StringToUtf8(line);
}

}  // namespace
}  // namespace nolu
