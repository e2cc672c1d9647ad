#include "ui/wizard/setup_wizard_user_interface.h"

#include "core/setup.h"
#include "core/setup_entry.h"
#include "core/setup_spawn_service.h"
#include "resources/setup_resources.h"
#include "ui/dialogs/message_dialog.h"
#include "ui/dialogs/setup_language_dialog.h"
#include "ui/wizard/wizard_form.h"

namespace nolu::ui {

TSetupWizardUserInterface::TSetupWizardUserInterface(IUiBackend& backend,
                                                     TSetupPageClassTable classes)
    : application_(backend), classes_(std::move(classes)) {
  palette_.UpdatePalette(application_.DarkMode(), application_.HighContrast(),
                         backend.SystemColors());
  application_.SetTheme(palette_.Controls);
  // Links open as the desktop user: the setup itself runs elevated.
  application_.SetLinkOpener([](StringView target) { TSetupSpawnService::Spawn(target); });
}

TLanguageChooser TSetupWizardUserInterface::LanguageChooser() {
  return [this](const std::vector<TLanguageItem>& items, int preselected) {
    return TSetupLanguageDialog::Choose(application_, items, preselected);
  };
}

int TSetupWizardUserInterface::RunWizard() {
  bool cancelled = false;
  application_.Backend().SetCodePage(nolu::Setup()->Resources().GetAnsiCodePage());
  {
    TWizardForm wizard(application_, palette_, classes_, &TRuxMessageDialog::Show);
    wizard.Run();
    cancelled = wizard.CancelledByUser();
  }  // the wizard's end starts the programs chosen on its final page
  if (cancelled) return ecCancelled;
  return RunExitCode(*nolu::Setup());
}

}  // namespace nolu::ui
