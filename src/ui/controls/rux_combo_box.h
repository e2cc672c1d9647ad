// TRuxComboBox: a drop-down list whose items have a text, a picture (16 × 16 units) and a
// value.
#pragma once

#include <functional>
#include <vector>

#include "base/picture.h"
#include "ui/controls/rux_custom_control.h"

namespace nolu::ui {

struct TComboItem {
  String Text;
  TPicture Picture;  // may be empty
  int Value = 0;
};

class TRuxComboBox : public TRuxCustomControl {
 public:
  TControlKind Kind() const override { return TControlKind::kComboBox; }
  TAccessibleRole AccessibleRole() const override { return TAccessibleRole::arComboBox; }
  bool TabStop() const override { return true; }

  const std::vector<TComboItem>& Items() const { return items_; }
  void SetItems(std::vector<TComboItem> items);
  // The selected position, -1 for none.
  int ItemIndex() const { return item_index_; }
  void SetItemIndex(int index);
  // The user chose `index`: selects it and calls OnChange.
  void Choose(int index);
  std::function<void()> OnChange;

 private:
  std::vector<TComboItem> items_;
  int item_index_ = -1;
};

}  // namespace nolu::ui
