// TFakeSystem: the system facts of a test, set by the test.
//
// Defaults: Windows 10.0.19045, administrator, user interface language 1033, local time
// 2024-03-05 14:07:09.000, the program "C:\Users\User\Downloads\Setup.exe" started without
// parameters, not under Wine, a small environment ("USERPROFILE", "APPDATA", "TEMP", ...),
// process 4242. Sleep returns at once and advances the clock (local time and tick count), so
// code that pauses runs instantly and a test can still see how long it would have paused;
// other fakes that play out a wait (a process that ends later) advance it the same way with
// AdvanceClock. GUIDs come from a counter, or from a queue a test fills.
#pragma once

#include <deque>
#include <map>
#include <mutex>

#include "platform/system.h"

namespace nolu {

// The messages the fake knows (a few common codes with their Windows wording).
String FakeSystemErrorText(uint32_t code);

class TFakeSystem : public ISystem {
 public:
  TFakeSystem();

  TOsVersion OsVersion() override;
  bool IsUserAnAdmin() override;
  uint16_t UserDefaultUILanguage() override;
  String SysErrorMessage(uint32_t code) override;
  TDateTime LocalTime() override;
  String CommandLine() override;
  String ModuleFileName() override;
  bool IsWine() override;
  TGuid CreateGuid() override;
  String ExpandEnvironmentText(StringView text) override;
  void Sleep(uint32_t milliseconds) override;
  uint64_t TickCount() override;
  uint32_t ProcessId() override;

  void SetOsVersion(uint32_t major, uint32_t minor, uint32_t build = 0);
  void SetAdmin(bool admin);
  void SetUserDefaultUILanguage(uint16_t language);
  void SetLocalTime(const TDateTime& time);
  void SetCommandLine(StringView command_line);
  void SetModuleFileName(StringView path);
  void SetWine(bool wine);
  void QueueGuid(const TGuid& guid);
  void SetEnvironmentVariable(StringView name, StringView value);
  void SetProcessId(uint32_t id);
  // Moves the clock on as time spent waiting, not sleeping (no Sleep call is counted).
  void AdvanceClock(uint32_t milliseconds);

  // Total of all Sleep calls, and their number.
  uint64_t SleptMilliseconds();
  int SleepCount();

 private:
  void AdvanceLocked(uint32_t milliseconds);

  std::mutex mutex_;
  TOsVersion version_;
  bool admin_ = true;
  uint16_t language_ = 1033;
  TDateTime time_;
  String command_line_;
  String module_;
  bool wine_ = false;
  std::deque<TGuid> guids_;
  uint32_t guid_counter_ = 0;
  std::map<String, String> environment_;  // by upper-case name
  uint64_t slept_ = 0;
  int sleep_count_ = 0;
  uint64_t ticks_ = 3'600'000;  // an hour after the system started
  uint32_t process_id_ = 4242;
};

}  // namespace nolu
