#include "platform/fake/fake_system.h"

#include <gtest/gtest.h>

namespace nolu {
namespace {

TEST(FakeSystemTest, SleepReturnsAtOnceAndAdvancesTheClockAcrossEveryUnit) {
  struct Row {
    TDateTime start;
    uint32_t sleep_ms;
    TDateTime expected;
  };
  const Row rows[] = {
      {{2024, 3, 5, 14, 7, 9, 0}, 2000, {2024, 3, 5, 14, 7, 11, 0}},
      {{2024, 3, 5, 14, 7, 59, 500}, 700, {2024, 3, 5, 14, 8, 0, 200}},
      {{2023, 12, 31, 23, 59, 59, 999}, 1, {2024, 1, 1, 0, 0, 0, 0}},
      {{2024, 2, 28, 23, 0, 0, 0}, 3600 * 1000, {2024, 2, 29, 0, 0, 0, 0}},  // leap year
      {{2023, 2, 28, 23, 0, 0, 0}, 3600 * 1000, {2023, 3, 1, 0, 0, 0, 0}},
  };
  for (const Row& r : rows) {
    TFakeSystem system;
    system.SetLocalTime(r.start);
    system.Sleep(r.sleep_ms);
    EXPECT_EQ(system.LocalTime(), r.expected) << r.sleep_ms;
    EXPECT_EQ(system.SleptMilliseconds(), r.sleep_ms);
  }
  TFakeSystem system;
  const uint64_t start = system.TickCount();
  system.Sleep(2000);
  system.Sleep(1000);
  EXPECT_EQ(system.SleepCount(), 2);
  EXPECT_EQ(system.SleptMilliseconds(), 3000u);
  EXPECT_EQ(system.TickCount(), start + 3000);
  // Time spent waiting moves the clock on but is no pause.
  system.AdvanceClock(250);
  EXPECT_EQ(system.TickCount(), start + 3250);
  EXPECT_EQ(system.LocalTime(), (TDateTime{2024, 3, 5, 14, 7, 12, 250}));
  EXPECT_EQ(system.SleepCount(), 2);
  EXPECT_EQ(system.SleptMilliseconds(), 3000u);
}

TEST(FakeSystemTest, ExpandEnvironmentText) {
  TFakeSystem system;
  system.SetEnvironmentVariable(u"Pct", u"%");
  struct Row {
    const char16_t* in;
    const char16_t* out;
  };
  const Row rows[] = {
      {u"%USERPROFILE%\\AppData", u"C:\\Users\\User\\AppData"},
      {u"%userprofile%", u"C:\\Users\\User"},  // names ignore case
      {u"%SystemDrive%%SystemRoot%", u"C:C:\\Windows"},
      {u"%NOPE%\\x", u"%NOPE%\\x"},  // unknown names stay
      {u"100% sure %TEMP%", u"100% sure C:\\Users\\User\\AppData\\Local\\Temp"},
      {u"%PCT%TEMP%", u"%TEMP%"},  // a value is not expanded again
      {u"no references", u"no references"},
      {u"%", u"%"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(system.ExpandEnvironmentText(r.in), r.out) << StringToUtf8(r.in);
  }
}

TEST(FakeSystemTest, SettableFactsAndDistinctGuids) {
  TFakeSystem system;
  EXPECT_TRUE(system.OsVersion().AtLeast(10, 0));
  system.SetOsVersion(6, 1);
  EXPECT_FALSE(system.OsVersion().AtLeast(6, 2));
  EXPECT_TRUE(system.OsVersion().AtLeast(6, 0));
  EXPECT_TRUE(system.OsVersion().AtLeast(5, 9));
  system.SetAdmin(false);
  EXPECT_FALSE(system.IsUserAnAdmin());
  system.SetUserDefaultUILanguage(1031);
  EXPECT_EQ(system.UserDefaultUILanguage(), 1031);
  system.SetCommandLine(u"Setup.exe /AUTO /SILENT");
  EXPECT_EQ(system.CommandLine(), u"Setup.exe /AUTO /SILENT");

  const TGuid a = system.CreateGuid();
  const TGuid b = system.CreateGuid();
  EXPECT_NE(a, b);
  TGuid queued;
  ASSERT_TRUE(TGuid::TryParse(u"{713CEF87-75EE-4626-A068-80B97ECA2DC8}", queued));
  system.QueueGuid(queued);
  EXPECT_EQ(system.CreateGuid(), queued);

  EXPECT_EQ(system.SysErrorMessage(5), u"Access is denied.");
  EXPECT_EQ(system.SysErrorMessage(99999), u"Unknown error 99999");
}

}  // namespace
}  // namespace nolu
