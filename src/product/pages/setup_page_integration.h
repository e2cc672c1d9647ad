// TSetupPageIntegration: shortcuts and shell integration. Not part of the path while the run
// is portable or an update (asked at each step, so the Setup page's choice takes it out or
// brings it back). Its boxes start from the options (seeded from an installed copy) and are
// written only when the user clicks one, so a page merely passed leaves the actions their
// own defaults.
#pragma once

#include <array>

#include "product/pages/option_boxes.h"
#include "ui/pages/setup_page.h"

namespace nolu::ui {

class TSetupPageIntegration : public TSetupPage {
 public:
  static constexpr char16_t kClassName[] = u"TSetupPageIntegration";
  explicit TSetupPageIntegration(TSetupPageContext& context) : TSetupPage(context, kClassName) {}

  bool IsAvailable() override;
  void Prepare() override;

  // "CB1" desktop, "CB2" Start menu, "CB3" associations, "CB4" Windows, "CB5" context menu.
  TRuxCheckBox& Box(int number) const { return *boxes_[static_cast<size_t>(number - 1)].Box; }

 protected:
  void CreateControls() override;

 private:
  void SaveOptions();

  std::array<TOptionBox, 5> boxes_{};
};

}  // namespace nolu::ui
