#include "ui/controls/rux_combo_box.h"

namespace nolu::ui {

void TRuxComboBox::SetItems(std::vector<TComboItem> items) {
  items_ = std::move(items);
  item_index_ = -1;
  NotifyPeer(TAspect::kContent);
}

void TRuxComboBox::SetItemIndex(int index) {
  if (index < -1 || index >= static_cast<int>(items_.size())) index = -1;
  if (index == item_index_) return;
  item_index_ = index;
  NotifyPeer(TAspect::kState);
}

void TRuxComboBox::Choose(int index) {
  SetItemIndex(index);
  if (OnChange) OnChange();
}

}  // namespace nolu::ui
