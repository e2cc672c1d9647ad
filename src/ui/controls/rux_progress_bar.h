// TRuxProgressBar: a bar of 0..Max (100 by default).
#pragma once

#include "ui/controls/rux_custom_control.h"

namespace nolu::ui {

class TRuxProgressBar : public TRuxCustomControl {
 public:
  TControlKind Kind() const override { return TControlKind::kProgressBar; }
  TAccessibleRole AccessibleRole() const override { return TAccessibleRole::arProgressBar; }

  int Position() const { return position_; }
  // Clamped to 0..Max.
  void SetPosition(int position);
  int Max() const { return max_; }
  void SetMax(int max);

 private:
  int position_ = 0;
  int max_ = 100;
};

}  // namespace nolu::ui
