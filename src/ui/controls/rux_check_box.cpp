#include "ui/controls/rux_check_box.h"

namespace nolu::ui {

void TRuxCheckBox::SetChecked(bool checked) {
  StoreChecked(checked);
}

void TRuxCheckBox::StoreChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  NotifyPeer(TAspect::kState);
}

void TRuxCheckBox::Click() {
  StoreChecked(!checked_);
  if (OnClick) OnClick();
}

}  // namespace nolu::ui
