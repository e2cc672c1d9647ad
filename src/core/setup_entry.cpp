#include "core/setup_entry.h"

#include <memory>
#include <optional>
#include <utility>

#include "base/command_line.h"
#include "base/errors.h"
#include "base/format.h"
#include "base/path.h"
#include "core/private_temp_folder.h"
#include "core/setup.h"
#include "core/setup_log.h"
#include "core/setup_spawn_service.h"
#include "core/uninstaller_caller.h"
#include "core/uninstaller_copy.h"
#include "core/uninstaller_result_window.h"
#include "platform/cmd_line_params.h"
#include "platform/error_codes.h"
#include "platform/platform.h"
#include "resources/installer_errors.h"

namespace nolu {
namespace {

// Ends the spawn service with the program, whichever way the entry leaves.
class TSpawnServiceLifetime {
 public:
  TSpawnServiceLifetime() = default;
  ~TSpawnServiceLifetime() { TSetupSpawnService::Finalize(); }
  TSpawnServiceLifetime(const TSpawnServiceLifetime&) = delete;
  TSpawnServiceLifetime& operator=(const TSpawnServiceLifetime&) = delete;
};

// The window handle of "/SKIPUAC=<id>"; an empty or malformed value gives none.
TWindowId SpawnWindowFromSwitch(StringView value) {
  int64_t id = 0;
  if (!TryStrToInt(value, id) || id <= 0) return {};
  return TWindowId{static_cast<uint64_t>(id)};
}

// The uninstaller's copy runs from a private folder below the temporary folder; a copy that
// was started without a usable "PATH" must not copy itself once more.
bool RunsFromTempFolder() {
  return IsInTempFolder(ExtractFilePath(CurrentPlatform().System().ModuleFileName()));
}

String FlagNames(TSetupFlags flags) {
  const std::pair<TSetupFlags, StringView> names[] = {
      {sfAuto, u"AUTO"},     {sfPortable, u"PORTABLE"}, {sfUpdate, u"UPDATE"},
      {sfSilent, u"SILENT"}, {sfRun, u"RUN"},           {sfNoBackup, u"NOBACKUP"},
  };
  StringList set;
  for (const auto& [flag, name] : names) {
    if (flags & flag) set.emplace_back(name);
  }
  return set.empty() ? String(u"none") : JoinStrings(set, u" ");
}

void LogStart(TSetupLog& log, StringView params) {
  ISystem& system = CurrentPlatform().System();
  const TOsVersion os = system.OsVersion();
  log.Line(u"Started: \"" + system.ModuleFileName() + u"\" " + String(params));
  log.Line(u"Windows " + IntToStr(os.Major) + u"." + IntToStr(os.Minor) + u"." +
           IntToStr(os.Build) +
           (system.IsUserAnAdmin() ? u", administrator" : u", no administrator"));
}

void LogRun(TSetupLog& log, TSetup& setup) {
  TSetupProductInfo& info = setup.ProductInfo();
  log.Line(u"Product: " + info.GetProductName() + u" " + info.GetProductVersionNo());
  log.Line(String(setup.Mode() == smUninstall ? u"Removal" : u"Installation") + u"; flags: " +
           FlagNames(setup.Flags()) + u"; destination: " + setup.DestPath());
}

void LogErrors(TSetupLog& log, TSetup& setup) {
  for (const String& error : setup.Errors())
    log.Line(u"Error: " + error);
  if (setup.RestartNeeded()) log.Line(u"Files are left for the next restart of the system");
}

// Starts the uninstaller's copy for the product folder `folder`, then waits for its result
// (TUninstallerCaller) and returns it.
int RunUninstallerCopy(TUninstallerCopy& copy, const String& folder, TSetupLog& log) {
  TUninstallerResultWindow result;
  const String params = Format(
      u"/%s=%d %s%s", {TUninstallerCaller::kSwitch, static_cast<long long>(result.Id().Value),
                       log.RelaunchSwitch(), CmdLineParams()});
  // A copy that does not start removes nothing: that must not pass for a removal.
  TStartResult started = copy.Start(folder, params);
  if (!started.Process) {
    throw EOSError(started.Error, CurrentPlatform().System().SysErrorMessage(started.Error),
                   copy.Program());
  }
  return result.WaitForResult(*started.Process);
}

// Everything the entry does between taking the parameters and the end of the run. Returns
// the exit code of a run that did not fail before it started; such failures raise. `setup`
// and `caller` are what the run made of them, for the end of the program.
int RunSetup(const String& params, TProductInfoClass product_info_class, ISetupUserInterface& ui,
             TSetupLog& log, std::unique_ptr<TSetup>& setup,
             std::unique_ptr<TUninstallerCaller>& caller) {
  // First, so that whatever happens below the waiting original learns the result.
  caller = TUninstallerCaller::FromParams(params);
  if (!product_info_class) throw EInstallerGeneralError(u"Setup is malformed");
  ISystem& system = CurrentPlatform().System();
  if (system.OsVersion().AtLeast(6, 0)) {
    String window;
    if (GetSwitchValue(params, u"SKIPUAC", window)) {
      TSetupSpawnService::Initialize(SpawnWindowFromSwitch(window));
    } else if (!system.IsUserAnAdmin()) {
      log.Line(u"Restarting elevated");
      return RelaunchElevated(params, log);
    }
  }
  // After an elevated restart too: "SKIPUAC" prevents a second one.
  if (!system.IsUserAnAdmin()) throw EInstallerNoAdminRightsError();

  String path;
  const bool has_path = GetSwitchValue(params, u"PATH", path) && !path.empty() &&
                        CurrentPlatform().Files().FolderExists(path);
  // The uninstaller in the product folder only hands the removal to its copy, which reads
  // everything else and reports every error: it needs no setup object of its own (building
  // one, the SETUP package and the script, took a tenth of a silent removal's own time).
  if (!has_path && IsUninstallerWithRecord() && !RunsFromTempFolder()) {
    return RelaunchUninstallerFromTemp(log);
  }

  setup = std::make_unique<TSetup>(params, product_info_class);
  setup->SetLog(&log);

  if (setup->Mode() == smUninstall) {
    if (has_path) {
      setup->SetDestPath(path);
      // A copy has the original's file name.
      if (caller) {
        setup->SetCallerProgram(setup->DestPath() + ExtractFileName(system.ModuleFileName()));
      }
    } else if (RunsFromTempFolder()) {
      throw EInstallerMysteryError(u"Cannot start the Uninstaller");
    } else {
      return RelaunchUninstallerFromTemp(log);
    }
  }
  LogRun(log, *setup);

  const bool automatic = (setup->Flags() & sfAuto) != 0;
  setup->Resources().InitializeLanguages(automatic ? TLanguageChooser() : ui.LanguageChooser());

  if (!(setup->Flags() & sfSilent)) {
    const int code = ui.RunWizard();
    LogErrors(log, *setup);
    return code;
  }
  setup->Start(/*wait=*/true);
  LogErrors(log, *setup);
  if (setup->HasErrors()) {
    ui.ShowError(JoinStrings(setup->Errors(), u"\r\n"));
  } else {
    setup->RunActions();
  }
  return RunExitCode(*setup);
}

}  // namespace

void TSetupBasicUserInterface::ShowError(StringView message) {
  CurrentPlatform().Dialogs().ShowMessageBox(message, u"Setup", kMbOk | kMbIconError);
}

int TSetupBasicUserInterface::RunWizard() {
  throw EInstallerGeneralError(u"The wizard is not available in this build.");
}

TSetupExitCode RunExitCode(TSetup& setup) {
  if (setup.HasErrors()) return setup.ProductStillRunning() ? ecProductStillRunning : ecErrorBox;
  return setup.RestartNeeded() ? ecRestartNeeded : ecSuccess;
}

int RunSetupProgram(TProductInfoClass product_info_class, ISetupUserInterface& ui) {
  TSpawnServiceLifetime spawn_service;
  const String params = CmdLineParams();
  // Everything below reaches the system through the log's platform, while there is a log.
  TSetupLog log(params);
  LogStart(log, params);
  // The setup object outlives the error box, as it would outlive the wizard.
  std::unique_ptr<TSetup> setup;
  std::unique_ptr<TUninstallerCaller> caller;
  int code = ecErrorBox;
  std::optional<String> failure;
  try {
    code = RunSetup(params, product_info_class, ui, log, setup, caller);
  } catch (const Exception& e) {
    failure = e.Message();
  } catch (const std::exception& e) {
    // Not one of ours (out of memory, a library's failure): still one clear error box and
    // a failing exit code rather than a crash.
    failure = Utf8ToString(e.what());
  }
  if (failure) {
    log.Line(u"Error: " + *failure);
    ui.ShowError(*failure);
    code = ecErrorBox;
  }
  if (caller) caller->HandOver(code, setup.get());
  log.Line(u"Exit code " + IntToStr(code));
  return code;
}

int RelaunchElevated(StringView params, TSetupLog& log) {
  TPlatform& platform = CurrentPlatform();
  TSetupSpawnService::Initialize();

  TShellExecuteInfo info;
  info.Verb = u"runas";
  info.File = platform.System().ModuleFileName();
  info.Parameters = Format(u"/%s=%d %s%s",
                           {u"SKIPUAC", static_cast<long long>(TSetupSpawnService::Window().Value),
                            log.RelaunchSwitch(), String(params)});
  info.Folder = IncludeTrailingBackslash(platform.Files().CurrentFolder());
  info.Show = kSwShowNormal;

  TStartResult started = platform.Shell().Execute(info);
  if (!started.Process) {
    if (started.Error == kErrorCancelled) return ecCancelled;
    if (started.Error == kErrorSuccess) return ecSuccess;  // handed to a running program
    throw EOSError(started.Error, platform.System().SysErrorMessage(started.Error));
  }
  // The elevated instance has its folder; this one only waits, and must not keep the caller's
  // current folder in use: it may be the product folder that the elevated one removes.
  platform.Files().SetCurrentFolder(platform.Files().TempFolder());
  // The elevated instance asks our spawn window to start programs while we wait; nobody
  // else is served.
  TSetupSpawnService::ServeRequestsFrom(started.Process->Id());
  platform.Messages().WaitDispatching(*started.Process);
  uint32_t exit_code = ecSuccess;
  started.Process->ExitCode(exit_code);
  return static_cast<int>(exit_code);
}

int RelaunchUninstallerFromTemp(TSetupLog& log) {
  log.Line(u"Handing the removal to a copy in the temporary folder");
  TPlatform& platform = CurrentPlatform();
  const String program = platform.System().ModuleFileName();
  TUninstallerCopy copy = TUninstallerCopy::Create(program);
  // Neither this instance nor the copy may keep the product folder in use.
  platform.Files().SetCurrentFolder(copy.Folder());
  return RunUninstallerCopy(copy, IncludeTrailingBackslash(ExtractFilePath(program)), log);
}

}  // namespace nolu
