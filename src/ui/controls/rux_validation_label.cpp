#include "ui/controls/rux_validation_label.h"

#include <algorithm>

namespace nolu::ui {

TRuxValidationLabel::TRuxValidationLabel() {
  TFont font = Font();
  font.Bold = true;
  SetFont(font);
  SetAutoSize(true);
  SetWordWrap(true);
}

void TRuxValidationLabel::SetValidationKind(TValidationKind kind) {
  kind_ = kind;
  NotifyPeer(TAspect::kState);
}

std::optional<TSize> TRuxValidationLabel::AutoSize(int available_width) const {
  std::optional<TSize> text = TRuxLabel::AutoSize(std::max(0, available_width - kIconSpace));
  if (!text) return text;
  // The icon is 16 units high; a line of text beside it is never lower than that.
  return TSize{text->Width + kIconSpace, std::max(text->Height, 16)};
}

}  // namespace nolu::ui
