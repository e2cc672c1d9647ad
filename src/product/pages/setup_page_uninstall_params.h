// TSetupPageUninstallParams: what a removal takes besides the installed files — the backups
// of earlier updates and the user's own data. Both start unticked; the entries are written
// only when a box is clicked.
#pragma once

#include <array>

#include "product/pages/option_boxes.h"
#include "ui/pages/setup_page.h"

namespace nolu::ui {

class TSetupPageUninstallParams : public TSetupPage {
 public:
  static constexpr char16_t kClassName[] = u"TSetupPageUninstallParams";
  explicit TSetupPageUninstallParams(TSetupPageContext& context)
      : TSetupPage(context, kClassName) {}

  void Prepare() override;

  TRuxCheckBox& RemoveBackupsBox() const { return *boxes_[0].Box; }
  TRuxCheckBox& RemoveContentBox() const { return *boxes_[1].Box; }

 protected:
  void CreateControls() override;

 private:
  void SaveOptions();

  std::array<TOptionBox, 2> boxes_{};
};

}  // namespace nolu::ui
