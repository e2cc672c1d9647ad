#include "product/pages/setup_page_uninstall_params.h"

namespace nolu::ui {

void TSetupPageUninstallParams::CreateControls() {
  auto save = [this] { SaveOptions(); };
  TRuxCheckBox& backups = CreateCheckBox({44, 40, 480, 17}, u"CB1", save);
  TRuxCheckBox& content = CreateCheckBox({44, 65, 480, 17}, u"CB2", save);
  boxes_ = {{{&backups, u"Common", u"RemoveBackups"}, {&content, u"Common", u"RemoveContent"}}};
}

void TSetupPageUninstallParams::Prepare() {
  LoadOptionBoxes(boxes_, Options(), false);
}

void TSetupPageUninstallParams::SaveOptions() {
  SaveOptionBoxes(boxes_, Options());
}

}  // namespace nolu::ui
