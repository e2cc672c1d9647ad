#include "product/pages/setup_page_integration.h"

#include "core/setup.h"

namespace nolu::ui {

void TSetupPageIntegration::CreateControls() {
  auto save = [this] { SaveOptions(); };
  CreateHeading({40, 30, 540, 20}, u"LB1");
  TRuxCheckBox& desktop = CreateCheckBox({60, 70, 540, 16}, u"CB1", save);
  TRuxCheckBox& start_menu = CreateCheckBox({60, 90, 540, 16}, u"CB2", save);
  CreateHeading({40, 120, 540, 20}, u"LB2");
  TRuxCheckBox& windows = CreateCheckBox({60, 160, 540, 16}, u"CB4", save);
  CreateLabel({79, 180, 540, 48}, u"CB4Hint", true).SetEnabled(false);
  TRuxCheckBox& associate = CreateCheckBox({60, 230, 540, 16}, u"CB3", save);
  TRuxCheckBox& context_menu = CreateCheckBox({60, 250, 540, 16}, u"CB5", save);
  boxes_ = {{{&desktop, u"Integration", u"ShortcutDesktop"},
             {&start_menu, u"Integration", u"ShortcutStartMenu"},
             {&associate, u"Integration", u"AssociateWithFiles"},
             {&windows, u"Integration", u"IntegrateToWindows"},
             {&context_menu, u"Integration", u"RegisterContextMenu"}}};
}

bool TSetupPageIntegration::IsAvailable() {
  return (nolu::Setup()->Flags() & (sfPortable | sfUpdate)) == 0;
}

void TSetupPageIntegration::Prepare() {
  LoadOptionBoxes(boxes_, Options(), (nolu::Setup()->Flags() & sfPortable) == 0);
}

void TSetupPageIntegration::SaveOptions() {
  SaveOptionBoxes(boxes_, Options());
}

}  // namespace nolu::ui
