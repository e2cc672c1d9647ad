#include "ui/controls/rux_progress_bar.h"

#include <algorithm>

namespace nolu::ui {

void TRuxProgressBar::SetPosition(int position) {
  position = std::clamp(position, 0, max_);
  if (position == position_) return;
  position_ = position;
  NotifyPeer(TAspect::kState);
}

void TRuxProgressBar::SetMax(int max) {
  max_ = std::max(1, max);
  position_ = std::min(position_, max_);
  NotifyPeer(TAspect::kState);
}

}  // namespace nolu::ui
