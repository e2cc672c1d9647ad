#include "platform/fake/fake_system.h"

#include <chrono>

#include "base/format.h"
#include "base/locale.h"

namespace nolu {

String FakeSystemErrorText(uint32_t code) {
  struct Entry {
    uint32_t code;
    const char16_t* text;
  };
  static constexpr Entry kTexts[] = {
      {0, u"The operation completed successfully."},
      {2, u"The system cannot find the file specified."},
      {3, u"The system cannot find the path specified."},
      {5, u"Access is denied."},
      {32, u"The process cannot access the file because it is being used by another process."},
      {80, u"The file exists."},
      {87, u"The parameter is incorrect."},
      {112, u"There is not enough space on the disk."},
      {123, u"The filename, directory name, or volume label syntax is incorrect."},
      {126, u"The specified module could not be found."},
      {127, u"The specified procedure could not be found."},
      {145, u"The directory is not empty."},
      {183, u"Cannot create a file when that file already exists."},
      {193, u"%1 is not a valid Win32 application."},
      {267, u"The directory name is invalid."},
      {1155, u"No application is associated with the specified file for this operation."},
      {1223, u"The operation was canceled by the user."},
      {1400, u"Invalid window handle."},
      {1460, u"This operation returned because the timeout period expired."},
  };
  for (const Entry& e : kTexts) {
    if (e.code == code) return e.text;
  }
  return Format(u"Unknown error %d", {static_cast<int64_t>(code)});
}

TFakeSystem::TFakeSystem() {
  version_ = {10, 0, 19045};
  time_ = {2024, 3, 5, 14, 7, 9, 0};
  module_ = u"C:\\Users\\User\\Downloads\\Setup.exe";
  command_line_ = u"\"" + module_ + u"\"";
  const std::pair<const char16_t*, const char16_t*> environment[] = {
      {u"SystemDrive", u"C:"},
      {u"SystemRoot", u"C:\\Windows"},
      {u"windir", u"C:\\Windows"},
      {u"USERPROFILE", u"C:\\Users\\User"},
      {u"USERNAME", u"User"},
      {u"APPDATA", u"C:\\Users\\User\\AppData\\Roaming"},
      {u"LOCALAPPDATA", u"C:\\Users\\User\\AppData\\Local"},
      {u"TEMP", u"C:\\Users\\User\\AppData\\Local\\Temp"},
      {u"TMP", u"C:\\Users\\User\\AppData\\Local\\Temp"},
      {u"ProgramFiles", u"C:\\Program Files"},
      {u"ProgramFiles(x86)", u"C:\\Program Files (x86)"},
      {u"ProgramData", u"C:\\ProgramData"},
      {u"PUBLIC", u"C:\\Users\\Public"},
  };
  for (const auto& [name, value] : environment)
    environment_[UpperCase(name)] = value;
}

TOsVersion TFakeSystem::OsVersion() {
  std::lock_guard lock(mutex_);
  return version_;
}

bool TFakeSystem::IsUserAnAdmin() {
  std::lock_guard lock(mutex_);
  return admin_;
}

uint16_t TFakeSystem::UserDefaultUILanguage() {
  std::lock_guard lock(mutex_);
  return language_;
}

String TFakeSystem::SysErrorMessage(uint32_t code) {
  return FakeSystemErrorText(code);
}

TDateTime TFakeSystem::LocalTime() {
  std::lock_guard lock(mutex_);
  return time_;
}

String TFakeSystem::CommandLine() {
  std::lock_guard lock(mutex_);
  return command_line_;
}

String TFakeSystem::ModuleFileName() {
  std::lock_guard lock(mutex_);
  return module_;
}

bool TFakeSystem::IsWine() {
  std::lock_guard lock(mutex_);
  return wine_;
}

TGuid TFakeSystem::CreateGuid() {
  std::lock_guard lock(mutex_);
  if (!guids_.empty()) {
    const TGuid guid = guids_.front();
    guids_.pop_front();
    return guid;
  }
  // Version-4 layout with a counter in place of randomness: distinct and reproducible.
  TGuid guid;
  guid.Data1 = ++guid_counter_;
  guid.Data2 = 0;
  guid.Data3 = 0x4000;
  guid.Data4 = {0x80, 0, 0, 0, 0, 0, 0, 0};
  return guid;
}

String TFakeSystem::ExpandEnvironmentText(StringView text) {
  std::lock_guard lock(mutex_);
  String out;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t open = text.find(u'%', pos);
    const size_t close = open == StringView::npos ? StringView::npos : text.find(u'%', open + 1);
    if (close == StringView::npos) break;
    out += text.substr(pos, open - pos);
    auto it = environment_.find(UpperCase(text.substr(open + 1, close - open - 1)));
    if (it != environment_.end()) {
      out += it->second;
      pos = close + 1;
    } else {
      // Unknown names stay; the closing "%" may open the next reference.
      out += text.substr(open, close - open);
      pos = close;
    }
  }
  out += text.substr(pos);
  return out;
}

void TFakeSystem::Sleep(uint32_t ms) {
  std::lock_guard lock(mutex_);
  slept_ += ms;
  ++sleep_count_;
  AdvanceLocked(ms);
}

void TFakeSystem::AdvanceClock(uint32_t ms) {
  std::lock_guard lock(mutex_);
  AdvanceLocked(ms);
}

void TFakeSystem::AdvanceLocked(uint32_t ms) {
  using namespace std::chrono;
  ticks_ += ms;
  const sys_days day =
      year_month_day(year(time_.Year), month(time_.Month), std::chrono::day(time_.Day));
  const std::chrono::milliseconds in_day = hours(time_.Hour) + minutes(time_.Minute) +
                                           seconds(time_.Second) +
                                           std::chrono::milliseconds(time_.Milliseconds + ms);
  const sys_time<std::chrono::milliseconds> then = day + in_day;
  const sys_days then_day = floor<days>(then);
  const year_month_day ymd(then_day);
  const hh_mm_ss<std::chrono::milliseconds> hms(then - then_day);
  time_.Year = static_cast<uint16_t>(int(ymd.year()));
  time_.Month = static_cast<uint16_t>(unsigned(ymd.month()));
  time_.Day = static_cast<uint16_t>(unsigned(ymd.day()));
  time_.Hour = static_cast<uint16_t>(hms.hours().count());
  time_.Minute = static_cast<uint16_t>(hms.minutes().count());
  time_.Second = static_cast<uint16_t>(hms.seconds().count());
  time_.Milliseconds = static_cast<uint16_t>(hms.subseconds().count());
}

uint64_t TFakeSystem::TickCount() {
  std::lock_guard lock(mutex_);
  return ticks_;
}

uint32_t TFakeSystem::ProcessId() {
  std::lock_guard lock(mutex_);
  return process_id_;
}

void TFakeSystem::SetOsVersion(uint32_t major, uint32_t minor, uint32_t build) {
  std::lock_guard lock(mutex_);
  version_ = {major, minor, build};
}

void TFakeSystem::SetAdmin(bool admin) {
  std::lock_guard lock(mutex_);
  admin_ = admin;
}

void TFakeSystem::SetUserDefaultUILanguage(uint16_t language) {
  std::lock_guard lock(mutex_);
  language_ = language;
}

void TFakeSystem::SetLocalTime(const TDateTime& time) {
  std::lock_guard lock(mutex_);
  time_ = time;
}

void TFakeSystem::SetCommandLine(StringView command_line) {
  std::lock_guard lock(mutex_);
  command_line_ = String(command_line);
}

void TFakeSystem::SetModuleFileName(StringView path) {
  std::lock_guard lock(mutex_);
  module_ = String(path);
}

void TFakeSystem::SetWine(bool wine) {
  std::lock_guard lock(mutex_);
  wine_ = wine;
}

void TFakeSystem::QueueGuid(const TGuid& guid) {
  std::lock_guard lock(mutex_);
  guids_.push_back(guid);
}

void TFakeSystem::SetEnvironmentVariable(StringView name, StringView value) {
  std::lock_guard lock(mutex_);
  environment_[UpperCase(name)] = String(value);
}

void TFakeSystem::SetProcessId(uint32_t id) {
  std::lock_guard lock(mutex_);
  process_id_ = id;
}

uint64_t TFakeSystem::SleptMilliseconds() {
  std::lock_guard lock(mutex_);
  return slept_;
}

int TFakeSystem::SleepCount() {
  std::lock_guard lock(mutex_);
  return sleep_count_;
}

}  // namespace nolu
