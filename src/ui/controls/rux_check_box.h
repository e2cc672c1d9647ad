// TRuxCheckBox: a check box with a caption, a checked state and a click handler.
#pragma once

#include <functional>

#include "ui/controls/rux_custom_control.h"

namespace nolu::ui {

class TRuxCheckBox : public TRuxCustomControl {
 public:
  TControlKind Kind() const override { return TControlKind::kCheckBox; }
  TAccessibleRole AccessibleRole() const override { return TAccessibleRole::arCheckBox; }
  bool TabStop() const override { return true; }
  bool HasCaption() const override { return true; }
  void SetCaption(StringView caption) override { TRuxCustomControl::SetCaption(caption); }

  bool Checked() const { return checked_; }
  // Changes the state without calling OnClick (what code does; a user's click is Click).
  void SetChecked(bool checked);
  // The user's click: the state turns over, then OnClick.
  virtual void Click();
  std::function<void()> OnClick;

 protected:
  void StoreChecked(bool checked);

 private:
  bool checked_ = false;
};

}  // namespace nolu::ui
