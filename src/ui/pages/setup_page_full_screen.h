// TSetupPageFullScreen: a page without the wizard's header — the side picture of the scheme
// in force when the page was made, a heading "L1" and a text "L2".
#pragma once

#include "base/picture.h"
#include "ui/pages/setup_page.h"

namespace nolu::ui {

class TSetupPageFullScreen : public TSetupPage {
 public:
  using TSetupPage::TSetupPage;

  bool IsFullScreen() const override { return true; }
  void Paint(ICanvas& canvas) override;

  const TPicture& SidePicture() const { return picture_; }
  TRuxLabel& Heading() const { return *heading_; }
  TRuxLabel& Text() const { return *text_; }

  // Where the side picture is drawn, in 96-DPI units.
  static constexpr TRect kPictureRect{0, 0, 188, 435};

 protected:
  void CreateControls() override;

 private:
  TPicture picture_;
  TRuxLabel* text_ = nullptr;
  TRuxLabel* heading_ = nullptr;
};

}  // namespace nolu::ui
