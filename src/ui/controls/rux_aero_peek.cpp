#include "ui/controls/rux_aero_peek.h"

namespace nolu::ui {

void TRuxAeroPeek::SetProgress(int64_t position, int64_t max) {
  if (position == position_ && max == max_) return;
  position_ = position;
  max_ = max;
  ++updates_;
  Apply();
}

void TRuxAeroPeek::SetState(TAeroPeekState state) {
  if (state == state_) return;
  state_ = state;
  ++updates_;
  Apply();
}

}  // namespace nolu::ui
