// TSetupAction: one step of an installation or removal, run in order by the worker thread.
// Actions reach the run through Setup() and the helpers below; they report progress and
// status through the setup object's notification channel.
//
// Constructors do no work beyond setting up fields: the ready-to-install page creates every
// action of the list only to ask it for its summary lines.
#pragma once

#include <functional>
#include <vector>

#include "base/text.h"
#include "resources/setup_script_file.h"

namespace nolu {

class TRuxIniFile;
class TSetupProductInfo;
class TSetupResources;
class TSetupScript;
class TSetupSummaryBuilder;

// The base of actions and update tasks: access to the run's product information.
class TSetupPersistent {
 public:
  virtual ~TSetupPersistent() = default;
  TSetupProductInfo& ProductInfo() const;
  // Returns once the product package has passed its checks; raises their failure. Called
  // before each change outside what the extraction takes back: in a first installation,
  // which runs while the package still decodes, those changes must not come from a package
  // that turns out corrupt. Any other run has waited before its first action already.
  void WaitForThePackageChecks() const;
};

class TSetupAction : public TSetupPersistent {
 public:
  using TProgressEvent = std::function<void(TSetupAction& sender)>;

  // The action's work, on the worker thread.
  virtual void Execute() = 0;
  // Lines for the ready-to-install summary; none by default.
  virtual void PopulateSummary(TSetupSummaryBuilder& builder);
  // Called (under the thread's lock, on the main thread) when the run is told to terminate
  // while this action is current; nothing by default.
  virtual void Cancel() {}
  // Whether a first installation may run the action while the product package is still being
  // decoded, before its checks are known (TSetupThread::ExtractsWhileDecoding): only an action
  // that changes nothing before WaitForThePackageChecks, or takes it back when the checks
  // fail. The others wait for the checks first. False by default.
  virtual bool RunsBeforeThePackageIsChecked() const { return false; }

  // Execute, then SetProgress(100).
  void Run();
  int Progress() const { return progress_; }
  void SetProgress(int value);
  void SetOnProgress(TProgressEvent on_progress) { on_progress_ = std::move(on_progress); }
  // Shows `text` as the status line of the progress page (ncStatusText).
  void SetStatus(StringView text);

  // Localized strings of the run, variables expanded.
  String GetString(StringView section, StringView key) const;
  String GetCommonString(StringView key) const;

  // Extraction and folder creation through the setup object's extraction writer.
  void ExtractFile(const TSetupScriptFile& file);
  void ForceDir(StringView path);
  // Writes "Uninstall.exe", "Uninstall.dat" and the system uninstall entry for the entries
  // `files` that were extracted into `dir`.
  void WriteUninstallData(StringView dir, const std::vector<TSetupScriptFile>& files);

  TSetupResources& Resources() const;
  TRuxIniFile& Options() const;
  const TSetupScript& Script() const;

 private:
  int progress_ = 0;
  TProgressEvent on_progress_;
};

}  // namespace nolu
