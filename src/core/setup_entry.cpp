#include "core/setup_entry.h"

#include <memory>

#include "base/command_line.h"
#include "base/errors.h"
#include "base/format.h"
#include "base/path.h"
#include "core/private_temp_folder.h"
#include "core/setup.h"
#include "core/setup_spawn_service.h"
#include "core/uninstaller_copy.h"
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

// Everything the entry does between taking the parameters and the end of the run. Returns
// the exit code of a run that did not fail; failures raise.
int RunSetup(const String& params, TProductInfoClass product_info_class, ISetupUserInterface& ui,
             std::unique_ptr<TSetup>& setup) {
  if (!product_info_class) throw EInstallerGeneralError(u"Setup is malformed");
  ISystem& system = CurrentPlatform().System();
  if (system.OsVersion().AtLeast(6, 0)) {
    String window;
    if (GetSwitchValue(params, u"SKIPUAC", window)) {
      TSetupSpawnService::Initialize(SpawnWindowFromSwitch(window));
    } else if (!system.IsUserAnAdmin()) {
      return RelaunchElevated(params);
    }
  }
  // After an elevated restart too: "SKIPUAC" prevents a second one.
  if (!system.IsUserAnAdmin()) throw EInstallerNoAdminRightsError();

  setup = std::make_unique<TSetup>(params, product_info_class);

  if (setup->Mode() == smUninstall) {
    String path;
    if (GetSwitchValue(params, u"PATH", path) && !path.empty() &&
        CurrentPlatform().Files().FolderExists(path)) {
      setup->SetDestPath(path);
    } else if (RunsFromTempFolder()) {
      throw EInstallerMysteryError(u"Cannot start the Uninstaller");
    } else {
      RelaunchUninstallerFromTemp();
      return ecSuccess;
    }
  }

  const bool automatic = (setup->Flags() & sfAuto) != 0;
  setup->Resources().InitializeLanguages(automatic ? TLanguageChooser() : ui.LanguageChooser());

  if (setup->Flags() & sfSilent) {
    setup->Start(/*wait=*/true);
    if (setup->HasErrors()) {
      throw EInstallerInstallError(JoinStrings(setup->Errors(), u"\r\n"));
    }
    setup->RunActions();
    return ecSuccess;
  }
  return ui.RunWizard();
}

}  // namespace

void TSetupBasicUserInterface::ShowError(StringView message) {
  CurrentPlatform().Dialogs().ShowMessageBox(message, u"Setup", kMbOk | kMbIconError);
}

int TSetupBasicUserInterface::RunWizard() {
  throw EInstallerGeneralError(u"The wizard is not available in this build.");
}

int RunSetupProgram(TProductInfoClass product_info_class, ISetupUserInterface& ui) {
  TSpawnServiceLifetime spawn_service;
  // The setup object outlives the error box, as it would outlive the wizard.
  std::unique_ptr<TSetup> setup;
  String message;
  try {
    return RunSetup(CmdLineParams(), product_info_class, ui, setup);
  } catch (const Exception& e) {
    message = e.Message();
  } catch (const std::exception& e) {
    // Not one of ours (out of memory, a library's failure): still one clear error box and
    // a failing exit code rather than a crash.
    message = Utf8ToString(e.what());
  }
  ui.ShowError(message);
  return ecErrorBox;
}

int RelaunchElevated(StringView params) {
  TPlatform& platform = CurrentPlatform();
  TSetupSpawnService::Initialize();

  TShellExecuteInfo info;
  info.Verb = u"runas";
  info.File = platform.System().ModuleFileName();
  info.Parameters = Format(
      u"/%s=%d %s",
      {u"SKIPUAC", static_cast<long long>(TSetupSpawnService::Window().Value), String(params)});
  info.Folder = IncludeTrailingBackslash(platform.Files().CurrentFolder());
  info.Show = kSwShowNormal;

  TStartResult started = platform.Shell().Execute(info);
  if (!started.Process) {
    if (started.Error == kErrorCancelled) return ecCancelled;
    if (started.Error == kErrorSuccess) return ecSuccess;  // handed to a running program
    throw EOSError(started.Error, platform.System().SysErrorMessage(started.Error));
  }
  // The elevated instance asks our spawn window to start programs while we wait; nobody
  // else is served.
  TSetupSpawnService::ServeRequestsFrom(started.Process->Id());
  platform.Messages().WaitDispatching(*started.Process);
  uint32_t exit_code = ecSuccess;
  started.Process->ExitCode(exit_code);
  return static_cast<int>(exit_code);
}

void RelaunchUninstallerFromTemp() {
  TPlatform& platform = CurrentPlatform();
  const String program = platform.System().ModuleFileName();
  TUninstallerCopy copy = TUninstallerCopy::Create(program);
  // Neither this instance nor the copy may keep the product folder in use.
  platform.Files().SetCurrentFolder(copy.Folder());
  const TStartResult started =
      copy.Start(IncludeTrailingBackslash(ExtractFilePath(program)), CmdLineParams());
  // A copy that does not start removes nothing: that must not pass for a removal.
  if (!started.Process) {
    throw EOSError(started.Error, platform.System().SysErrorMessage(started.Error), copy.Program());
  }
}

}  // namespace nolu
