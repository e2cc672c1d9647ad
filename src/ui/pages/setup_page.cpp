#include "ui/pages/setup_page.h"

#include "core/setup.h"
#include "resources/setup_resources.h"
#include "ui/controls/canvas.h"

namespace nolu::ui {

void TSetupPage::Initialize() {
  CreateControls();
  Localize();
}

String TSetupPage::GetString(StringView key) const {
  return nolu::Setup()->Resources().GetString(Name(), key);
}

TRuxIniFile& TSetupPage::Options() const {
  return nolu::Setup()->Options();
}

void TSetupPage::Localize() {
  title_ = GetString(u"Title");
  description_ = GetString(u"Description");
  ForEachOwned([this](TRuxComponent& component) {
    // A control without a name keeps the text its page gave it (the install page's first
    // status line): there is no key to look up for it.
    if (&component != this && component.HasCaption() && !component.Name().empty()) {
      component.SetCaption(GetString(component.Name()));
    }
  });
}

void TSetupPage::Paint(ICanvas& canvas) {
  // The two stops are equal in both schemes: the fill is plain.
  const TRect client = DeviceBounds();
  canvas.FillRect({0, 0, client.Width, client.Height}, Palette().PageBackground);
}

TRuxCheckBox& TSetupPage::CreateCheckBox(const TRect& rect, StringView name,
                                         std::function<void()> on_click) {
  TRuxCheckBox& box = CreateControl<TRuxCheckBox>(rect, name);
  box.OnClick = std::move(on_click);
  return box;
}

TRuxRadioBox& TSetupPage::CreateRadioBox(const TRect& rect, StringView name,
                                         std::function<void()> on_click) {
  TRuxRadioBox& box = CreateControl<TRuxRadioBox>(rect, name);
  box.OnClick = std::move(on_click);
  return box;
}

TRuxLabel& TSetupPage::CreateLabel(const TRect& rect, StringView name, bool multi_line) {
  TRuxLabel& label = CreateControl<TRuxLabel>(rect, name);
  if (multi_line) label.SetLayout(TVertAlign::vaTop);
  label.SetWordWrap(multi_line);
  label.SetTransparent(true);
  return label;
}

TRuxLabel& TSetupPage::CreateHeading(const TRect& rect, StringView name) {
  TRuxLabel& label = CreateLabel(rect, name, false);
  TFont font = label.Font();
  font.Name = u"Segoe UI";
  font.Size = 11;
  label.SetFont(font);
  return label;
}

}  // namespace nolu::ui
