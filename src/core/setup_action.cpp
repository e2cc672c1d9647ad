#include "core/setup_action.h"

#include "base/errors.h"
#include "core/installer_notify.h"
#include "core/setup.h"
#include "resources/setup_resources.h"

namespace nolu {
namespace {

TSetup& RunningSetup() {
  TSetup* setup = Setup();
  if (!setup) throw EInvalidOperation(u"No setup object exists");
  return *setup;
}

}  // namespace

TSetupProductInfo& TSetupPersistent::ProductInfo() const {
  return RunningSetup().ProductInfo();
}

void TSetupPersistent::WaitForThePackageChecks() const {
  RunningSetup().Resources().ProductPackage().Wait();
}

void TSetupAction::PopulateSummary(TSetupSummaryBuilder&) {}

void TSetupAction::Run() {
  Execute();
  SetProgress(100);
}

void TSetupAction::SetProgress(int value) {
  if (value == progress_) return;
  progress_ = value;
  if (on_progress_) on_progress_(*this);
}

void TSetupAction::SetStatus(StringView text) {
  RunningSetup().NotifyText(ncStatusText, text);
}

String TSetupAction::GetString(StringView section, StringView key) const {
  return Resources().GetString(section, key);
}

String TSetupAction::GetCommonString(StringView key) const {
  return GetString(u"Common", key);
}

TSetupResources& TSetupAction::Resources() const {
  return RunningSetup().Resources();
}

TRuxIniFile& TSetupAction::Options() const {
  return RunningSetup().Options();
}

const TSetupScript& TSetupAction::Script() const {
  return Resources().Script();
}

}  // namespace nolu
