#include "ui/controls/rux_radio_box.h"

namespace nolu::ui {

void TRuxRadioBox::SetRadioChecked(bool checked) {
  if (checked && Parent()) {
    for (TRuxCustomControl* sibling : Parent()->Children()) {
      if (sibling != this && sibling->Kind() == TControlKind::kRadioBox) {
        static_cast<TRuxRadioBox*>(sibling)->StoreChecked(false);
      }
    }
  }
  StoreChecked(checked);
}

void TRuxRadioBox::Click() {
  SetRadioChecked(true);
  if (OnClick) OnClick();
}

}  // namespace nolu::ui
