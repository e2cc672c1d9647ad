#include "ui/controls/rux_label.h"

#include "ui/controls/rux_form.h"

namespace nolu::ui {

TAccessibleRole TRuxLabel::AccessibleRole() const {
  return link_target_.empty() ? TAccessibleRole::arStaticText : TAccessibleRole::arLink;
}

void TRuxLabel::SetWordWrap(bool value) {
  word_wrap_ = value;
  NotifyPeer(TAspect::kState);
}

void TRuxLabel::SetAlignment(THorzAlign value) {
  alignment_ = value;
  NotifyPeer(TAspect::kState);
}

void TRuxLabel::SetLayout(TVertAlign value) {
  layout_ = value;
  NotifyPeer(TAspect::kState);
}

void TRuxLabel::SetAutoSize(bool value) {
  auto_size_ = value;
  if (Parent()) Parent()->Realign();
}

void TRuxLabel::SetLinkTarget(StringView target) {
  link_target_ = String(target);
  NotifyPeer(TAspect::kState);
}

void TRuxLabel::Click() {
  if (TRuxForm* form = Form(); form && !link_target_.empty()) {
    form->Application().OpenLink(link_target_);
  }
  if (OnClick) OnClick();
}

std::optional<TSize> TRuxLabel::AutoSize(int available_width) const {
  if (!auto_size_) return std::nullopt;
  const TRuxForm* form = Form();
  if (!form) return std::nullopt;
  const int dpi = form->FormDpi();
  const int max_width = word_wrap_ ? ScaleValue(available_width, dpi) : 0;
  const TSize size =
      form->Backend().MeasureText(StripAccessKeys(Caption()), Font(), dpi, max_width);
  // Back to 96-DPI units, rounded up so that nothing is cut.
  return TSize{(size.Width * kDefaultDpi + dpi - 1) / dpi,
               (size.Height * kDefaultDpi + dpi - 1) / dpi};
}

}  // namespace nolu::ui
