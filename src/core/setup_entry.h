// The program entry: rights, the uninstaller's move out of the product folder, the silent run
// or the wizard, and the one error box that every failure ends in.
//
// RunSetupProgram is the whole of Setup.exe's main function apart from the Win32 start-up
// (DLL search order, COM, the platform instance), so it runs on the fake platform in tests.
#pragma once

#include "base/text.h"
#include "core/setup_product_info.h"
#include "resources/setup_resources.h"

namespace nolu {

class TSetup;
class TSetupLog;

// The process exit codes, for deployment tools and scripts (the README's table). Stable
// values: append, never renumber.
enum TSetupExitCode : int {
  ecSuccess = 0,        // the run did its work (or handed it on to another instance)
  ecErrorBox = 1,       // the run failed: the error box, or the wizard's last page lists errors
  ecCancelled = 2,      // cancelled by the user: the elevation prompt declined, or the
                        // wizard closed (its question answered OK) before or during the run
  ecRestartNeeded = 3,  // done, but files go at the next restart of the system
  ecProductStillRunning = 4,  // a program of the product would not close; nothing was changed
};

// The exit code of a run that has ended, from what it left in the setup object.
TSetupExitCode RunExitCode(TSetup& setup);

// What the entry needs of the user interface.
class ISetupUserInterface {
 public:
  virtual ~ISetupUserInterface() = default;
  // The error box: caption "Setup", the message, the error icon, one OK button.
  virtual void ShowError(StringView message) = 0;
  // The language dialog of an interactive run; none takes the preselection.
  virtual TLanguageChooser LanguageChooser() { return {}; }
  // Shows the wizard as the main window and returns the run's exit code when it has closed.
  virtual int RunWizard() = 0;
};

// The part of a user interface that needs no windows of its own: the system's message box
// for errors. Without a wizard (tools, tests) an interactive start ends with "The wizard is
// not available in this build."; Setup.exe's user interface (ui/) adds the wizard.
class TSetupBasicUserInterface : public ISetupUserInterface {
 public:
  void ShowError(StringView message) override;
  int RunWizard() override;
};

// Runs the program with the parameters of the process's command line and returns its exit
// code. `product_info_class` is the product the program installs; none ends in the error box
// "Setup is malformed".
int RunSetupProgram(TProductInfoClass product_info_class, ISetupUserInterface& ui);

// Restarts the program elevated ("runas") with "/SKIPUAC=<spawn window> " (and the log's
// switch) before `params`, waits for it while serving its spawn requests, and returns its exit
// code; ecCancelled when the user declined. Other failures raise the operating-system error.
int RelaunchElevated(StringView params, TSetupLog& log);

// Copies the running uninstaller and its ".dat" file into the temporary folder, starts the
// copy with "/PATH="<product folder>\" /CALLER=<result window> " (and the log's switch) before
// the parameters, and returns the copy's result once it has done the removal
// (TUninstallerCaller). A copy that cannot be started raises the operating-system error.
int RelaunchUninstallerFromTemp(TSetupLog& log);

}  // namespace nolu
