// TSetupPageFinish: the final page of an installation — the run's errors, or one check box
// per program the script offers to start, and the link to the product's home page. The
// boxes' states go into the options ("Actions"), which the setup reads when the wizard
// closes.
#pragma once

#include <vector>

#include "ui/pages/setup_page_custom_finish.h"

namespace nolu::ui {

class TSetupPageFinish : public TSetupPageCustomFinish {
 public:
  static constexpr char16_t kClassName[] = u"TSetupPageFinish";
  explicit TSetupPageFinish(TSetupPageContext& context)
      : TSetupPageCustomFinish(context, kClassName) {}

  void Prepare() override;
  // Writes each box's state under section "Actions", key = the entry's name as written.
  void SaveRunChoices();

  const std::vector<TRuxCheckBox*>& RunCheckBoxes() const { return run_boxes_; }
  TRuxLabel& HomePageLabel() const { return *home_page_; }

 protected:
  void CreateControls() override;

 private:
  std::vector<TRuxCheckBox*> run_boxes_;
  TRuxLabel* home_page_ = nullptr;
};

}  // namespace nolu::ui
