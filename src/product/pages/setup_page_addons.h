// TSetupPageAddons: the offer of a partner's software, described by "addons.ini" of the setup
// package (its picture "I0", its name "L0", its license and privacy addresses "L1" and
// "L2"). The three boxes start ticked and are written as soon as the page is shown, so the
// add-ons action finds the choice the user saw.
//
// The page is made only when the run offers add-ons (AddonsOffered); a missing "addons.ini"
// or picture then fails the wizard's creation with the resources' error.
#pragma once

#include <array>

#include "base/picture.h"
#include "product/options/addons_info.h"
#include "product/pages/option_boxes.h"
#include "ui/controls/rux_formatted_label.h"
#include "ui/pages/setup_page.h"

namespace nolu::ui {

class TSetupPageAddons : public TSetupPage {
 public:
  static constexpr char16_t kClassName[] = u"TSetupPageAddons";
  explicit TSetupPageAddons(TSetupPageContext& context);

  void Prepare() override;
  void Paint(ICanvas& canvas) override;

  const TPicture& AddonsImage() const { return image_; }
  // The name line ("L1" with the add-on's name) and the terms line ("L2" with the addresses).
  TRuxFormattedLabel& NameLabel() const { return *name_label_; }
  TRuxFormattedLabel& TermsLabel() const { return *terms_label_; }
  // "CB1" viewer, "CB2" file extensions, "CB3" shortcuts.
  TRuxCheckBox& Box(int number) const { return *boxes_[static_cast<size_t>(number - 1)].Box; }

 protected:
  void CreateControls() override;
  void Localize() override;

 private:
  void SaveOptions();

  TAddonsInfo info_;
  TPicture image_;
  TRuxFormattedLabel* name_label_ = nullptr;
  TRuxFormattedLabel* terms_label_ = nullptr;
  std::array<TOptionBox, 3> boxes_{};
};

}  // namespace nolu::ui
