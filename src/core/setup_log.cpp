#include "core/setup_log.h"

#include "base/command_line.h"
#include "base/format.h"
#include "base/path.h"
#include "platform/error_codes.h"
#include "platform/logging/logging_platform.h"
#include "platform/platform.h"

namespace nolu {
namespace {

constexpr char16_t kLogSwitch[] = u"LOG";
// Names tried for "/LOG" alone before giving up: more runs of one program in one second are
// not a log's business.
constexpr int kMaxNameTries = 100;

// "Setup 2024-03-05 14-07-09.log": sorted by time in a listing, and no character that a file
// name may not hold.
String UniqueCandidate(IFileSystem& files, ISystem& system, int attempt) {
  const TDateTime t = system.LocalTime();
  const String program = ChangeFileExt(ExtractFileName(system.ModuleFileName()), u"");
  String name = program + u" " + ZeroPadded(t.Year, 4) + u"-" + ZeroPadded(t.Month, 2) + u"-" +
                ZeroPadded(t.Day, 2) + u" " + ZeroPadded(t.Hour, 2) + u"-" +
                ZeroPadded(t.Minute, 2) + u"-" + ZeroPadded(t.Second, 2);
  if (attempt > 1) name += u" (" + IntToStr(attempt) + u")";
  return IncludeTrailingBackslash(files.TempFolder()) + name + u".log";
}

std::unique_ptr<TTextLog> OpenLog(StringView params) {
  String file;
  if (!GetSwitchValue(params, kLogSwitch, file)) return nullptr;
  TPlatform& platform = CurrentPlatform();
  IFileSystem& files = platform.Files();
  ISystem& system = platform.System();
  if (!file.empty()) {
    // A restart runs in another current folder: the file is passed on by its full path.
    String full;
    if (files.FullPathName(file, full) == kErrorSuccess) file = full;
    auto log = std::make_unique<TTextLog>(files, system, file, /*create_new=*/false);
    return log->IsOpen() ? std::move(log) : nullptr;
  }
  for (int attempt = 1; attempt <= kMaxNameTries; ++attempt) {
    auto log = std::make_unique<TTextLog>(files, system, UniqueCandidate(files, system, attempt),
                                          /*create_new=*/true);
    if (log->IsOpen()) return log;
    if (log->Error() != kErrorFileExists) break;
  }
  return nullptr;
}

}  // namespace

TSetupLog::TSetupLog() = default;

TSetupLog::TSetupLog(StringView params) : text_(OpenLog(params)) {
  if (!text_) return;
  path_ = text_->Path();
  platform_ = std::make_unique<TLoggingPlatform>(CurrentPlatform(), *text_);
  scope_ = std::make_unique<PlatformScope>(*platform_);
}

// The scope ends first: the platform before it is current again before the logging one goes.
TSetupLog::~TSetupLog() {
  scope_.reset();
  platform_.reset();
}

bool TSetupLog::IsOpen() const {
  return text_ != nullptr;
}

void TSetupLog::Line(StringView text) {
  if (text_) text_->Line(text);
}

String TSetupLog::RelaunchSwitch() const {
  if (!text_) return String();
  return Format(u"/%s=\"%s\" ", {kLogSwitch, text_->Path()});
}

}  // namespace nolu
