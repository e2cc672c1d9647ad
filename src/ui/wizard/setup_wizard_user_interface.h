// TSetupWizardUserInterface: the user interface of Setup.exe on any backend — the error box,
// the language dialog of an interactive start and the wizard.
//
// Exit codes of a run shown in the wizard: 2 when the user closed it through its question
// (before or during the run), 1 when the run collected errors, 0 otherwise.
#pragma once

#include "core/setup_entry.h"
#include "ui/controls/rux_application.h"
#include "ui/pages/setup_page_class_table.h"
#include "ui/wizard/wizard_palette.h"

namespace nolu::ui {

class TSetupWizardUserInterface : public TSetupBasicUserInterface {
 public:
  TSetupWizardUserInterface(IUiBackend& backend, TSetupPageClassTable classes);

  TLanguageChooser LanguageChooser() override;
  int RunWizard() override;

  TRuxApplication& Application() { return application_; }
  const TWizardPalette& Palette() const { return palette_; }

 private:
  TRuxApplication application_;
  TWizardPalette palette_;
  TSetupPageClassTable classes_;
};

}  // namespace nolu::ui
