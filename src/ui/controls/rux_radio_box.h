// TRuxRadioBox: a radio button. Checking one unchecks the other radio buttons of its parent.
#pragma once

#include "ui/controls/rux_check_box.h"

namespace nolu::ui {

class TRuxRadioBox : public TRuxCheckBox {
 public:
  TControlKind Kind() const override { return TControlKind::kRadioBox; }
  TAccessibleRole AccessibleRole() const override { return TAccessibleRole::arRadioButton; }
  // The user's click checks this one (a checked one stays checked), then OnClick.
  void Click() override;
  // Checking unchecks the siblings; unchecking changes only this one.
  void SetRadioChecked(bool checked);
};

}  // namespace nolu::ui
