#include "ui/controls/rux_memo.h"

namespace nolu::ui {

void TRuxMemo::SetLines(StringList lines) {
  lines_ = std::move(lines);
  NotifyPeer(TAspect::kState);
}

String TRuxMemo::Text() const {
  return JoinStrings(lines_, u"\r\n");
}

void TRuxMemo::SetReadOnly(bool value) {
  read_only_ = value;
  NotifyPeer(TAspect::kState);
}

}  // namespace nolu::ui
