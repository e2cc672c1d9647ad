// TSetupPageCustomFinish: the base of both final pages — the errors of the run, when there
// are any, under the heading "E1" and the text "E2". Never Back.
#pragma once

#include "ui/controls/rux_memo.h"
#include "ui/pages/setup_page_full_screen.h"

namespace nolu::ui {

class TSetupPageCustomFinish : public TSetupPageFullScreen {
 public:
  using TSetupPageFullScreen::TSetupPageFullScreen;

  bool CanGoBack() override { return false; }
  void Prepare() override;
  TRuxMemo& ErrorMemo() const { return *error_memo_; }

 protected:
  void CreateControls() override;

 private:
  TRuxMemo* error_memo_ = nullptr;
};

// The final page of a removal.
class TSetupPageUninstallFinish : public TSetupPageCustomFinish {
 public:
  static constexpr char16_t kClassName[] = u"TSetupPageUninstallFinish";
  explicit TSetupPageUninstallFinish(TSetupPageContext& context)
      : TSetupPageCustomFinish(context, kClassName) {}
};

}  // namespace nolu::ui
