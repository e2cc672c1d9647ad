// The Win32 system service under Wine.
#include "platform/win32/system_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "base/locale.h"
#include "base/path.h"
#include "platform/cmd_line_params.h"
#include "platform/win32/win32_platform.h"

namespace nolu {
namespace {

TEST(Win32SystemTest, ReportsTheRunningSystemAndProcess) {
  TWin32System system;
  // ./run prepares a prefix that reports Windows 10; the real version, not a shimmed one.
  EXPECT_TRUE(system.OsVersion().AtLeast(6, 0));
  EXPECT_TRUE(system.IsWine());  // these tests run under Wine
  EXPECT_NE(system.UserDefaultUILanguage(), 0);
  EXPECT_TRUE(
      EqualsIgnoreCase(ExtractFileName(system.ModuleFileName()), u"platform_win32_tests.exe"))
      << StringToUtf8(system.ModuleFileName());
  EXPECT_NE(UpperCase(system.CommandLine()).find(u"PLATFORM_WIN32_TESTS"), String::npos);
  const TDateTime now = system.LocalTime();
  EXPECT_GE(now.Year, 2020);
  EXPECT_GE(now.Month, 1);
  EXPECT_LE(now.Month, 12);
  EXPECT_EQ(system.ProcessId(), ::GetCurrentProcessId());
  // The tick advances with the time slept. Under Wine it is the server's, updated in steps of
  // its own and late on a loaded machine, so the test sleeps until it has moved (within 2 s)
  // instead of expecting it to have moved after one sleep.
  const uint64_t before = system.TickCount();
  for (int slept = 0; slept < 2000 && system.TickCount() < before + 10; slept += 20)
    system.Sleep(20);
  EXPECT_GE(system.TickCount(), before + 10);
}

TEST(Win32SystemTest, ErrorTextsHaveNoLineBreakAndUnknownCodesAreNamed) {
  TWin32System system;
  for (uint32_t code : {2u, 5u, 32u, 112u, 1223u}) {
    const String text = system.SysErrorMessage(code);
    EXPECT_FALSE(text.empty()) << code;
    EXPECT_EQ(text.find_last_of(u"\r\n"), String::npos) << code;
  }
  EXPECT_EQ(system.SysErrorMessage(0x2FFFFFFF), u"Unknown error 805306367");
}

TEST(Win32SystemTest, GuidsAreRandomVersionFour) {
  TWin32System system;
  const TGuid a = system.CreateGuid();
  const TGuid b = system.CreateGuid();
  EXPECT_NE(a, b);
  EXPECT_EQ(a.Data3 >> 12, 4);
  EXPECT_EQ(a.ToString().size(), 38u);
}

TEST(Win32SystemTest, RandomBytesComeFromTheSystemsGenerator) {
  TWin32System system;
  std::vector<uint8_t> a(32), b(32);
  ASSERT_EQ(system.RandomBytes(a.data(), a.size()), 0u);
  ASSERT_EQ(system.RandomBytes(b.data(), b.size()), 0u);
  EXPECT_NE(a, b);
  EXPECT_NE(a, std::vector<uint8_t>(32, 0));
}

TEST(Win32SystemTest, ExpandsEnvironmentReferences) {
  TWin32System system;
  const String expanded = system.ExpandEnvironmentText(u"%SystemRoot%\\win.ini");
  EXPECT_EQ(expanded.find(u'%'), String::npos);
  EXPECT_TRUE(EndsWith(expanded, u"\\win.ini"));
  EXPECT_EQ(system.ExpandEnvironmentText(u"%NOLU_NOT_SET%"), u"%NOLU_NOT_SET%");
  EXPECT_EQ(system.ExpandEnvironmentText(u""), u"");
}

TEST(Win32SystemTest, CmdLineParamsLeaveTheProgramPathOut) {
  TWin32Platform platform;
  PlatformScope scope(platform);
  const String params = CmdLineParams();
  EXPECT_EQ(UpperCase(params).find(u"PLATFORM_WIN32_TESTS"), String::npos) << StringToUtf8(params);
  EXPECT_EQ(params, CmdLineParams(platform.System().CommandLine()));
}

}  // namespace
}  // namespace nolu
