// TRuxButton: a push button with a caption, a click handler, the default-button mark and a
// modal result that closes its form.
#pragma once

#include <functional>

#include "ui/controls/rux_custom_control.h"

namespace nolu::ui {

class TRuxButton : public TRuxCustomControl {
 public:
  TControlKind Kind() const override { return TControlKind::kButton; }
  TAccessibleRole AccessibleRole() const override { return TAccessibleRole::arPushButton; }
  bool TabStop() const override { return true; }
  bool HasCaption() const override { return true; }
  void SetCaption(StringView caption) override { TRuxCustomControl::SetCaption(caption); }

  // Enter presses the default button of a form (see TRuxForm::SetDefaultButton).
  bool Default() const;
  // Set: a click closes the form with this result.
  int ModalResult() const { return modal_result_; }
  void SetModalResult(int result) { modal_result_ = result; }

  // The user's click (or the backend's report of it): OnClick, then the modal result.
  void Click();
  std::function<void()> OnClick;

 private:
  int modal_result_ = 0;
};

}  // namespace nolu::ui
