#include "ui/controls/rux_edit.h"

namespace nolu::ui {

void TRuxEdit::SetText(StringView text) {
  if (text == text_) return;
  text_ = String(text);
  NotifyPeer(TAspect::kState);
  if (OnChange) OnChange();
}

void TRuxEdit::SetButton(StringView caption, int width, std::function<void()> on_click) {
  button_caption_ = String(caption);
  button_width_ = width;
  on_button_click_ = std::move(on_click);
  NotifyPeer(TAspect::kCaption);
}

void TRuxEdit::ButtonClick() {
  if (on_button_click_) on_button_click_();
}

}  // namespace nolu::ui
