#include "core/uninstaller_caller.h"

#include <vector>

#include "base/command_line.h"
#include "base/path.h"
#include "core/setup.h"
#include "core/setup_entry.h"
#include "core/setup_spawn_service.h"
#include "platform/platform.h"

namespace nolu {

std::unique_ptr<TUninstallerCaller> TUninstallerCaller::FromParams(StringView params) {
  String value;
  int64_t id = 0;
  if (!GetSwitchValue(params, kSwitch, value) || !TryStrToInt(value, id) || id <= 0) {
    return nullptr;
  }
  return std::make_unique<TUninstallerCaller>(TWindowId{static_cast<uint64_t>(id)});
}

TUninstallerCaller::TUninstallerCaller(TWindowId window) : window_(window) {}

void TUninstallerCaller::HandOver(int exit_code, TSetup* setup) {
  TPlatform& platform = CurrentPlatform();
  // Opened while they wait for this result, before it lets them end: the caller, and the
  // non-elevated instance that restarted it elevated, which runs the same program file.
  std::vector<std::unique_ptr<TProcess>> processes;
  IDesktopWindows& windows = platform.Windows();
  if (auto process = windows.OpenWindowProcess(window_)) processes.push_back(std::move(process));
  if (TSetupSpawnService::IsRemote()) {
    if (auto process = windows.OpenWindowProcess(TSetupSpawnService::Window())) {
      processes.push_back(std::move(process));
    }
  }
  platform.Messages().SendValue(window_, kResultCode, exit_code);  // a caller gone: nothing
  if (!setup || setup->CallerProgram().empty()) return;
  TSetupLog& log = setup->Log();
  log.Line(u"Result " + IntToStr(exit_code) + u" handed over; waiting for the caller to end");
  // After the run nothing waits for this thread's windows, so a plain wait serves.
  const uint64_t deadline = platform.System().TickCount() + kCallerEndTimeoutMs;
  for (const std::unique_ptr<TProcess>& process : processes) {
    const uint64_t now = platform.System().TickCount();
    if (now >= deadline || !process->Wait(static_cast<uint32_t>(deadline - now))) {
      log.Line(u"The caller did not end; its program goes at the next restart");
      return;
    }
  }
  IFileSystem& files = platform.Files();
  const String aside = setup->CallerProgramAside();
  if (!aside.empty()) {
    files.Delete(aside);  // its deletion at the next restart stays scheduled: harmless
    return;
  }
  const String& program = setup->CallerProgram();
  const bool removed = exit_code == ecSuccess || exit_code == ecRestartNeeded;
  if (removed && files.FileExists(program)) {
    files.Delete(program);
    const String folder = ExtractFilePath(program);
    if (!IsVolumeRoot(folder)) files.RemoveFolder(ExcludeTrailingBackslash(folder));  // if empty
  }
}

}  // namespace nolu
