#include "ui/dialogs/message_dialog.h"

#include <algorithm>

#include "core/setup.h"
#include "platform/message_box.h"
#include "resources/setup_resources.h"

namespace nolu::ui {
namespace {

// A button's caption: the run's localized text where the language files have one.
String ButtonCaption(StringView key, StringView fallback) {
  if (TSetup* setup = nolu::Setup()) {
    String text = setup->Resources().GetString(u"Common", key);
    if (!text.empty()) return text;
  }
  return String(fallback);
}

struct TButtonSpec {
  int Result;
  String Caption;
};

std::vector<TButtonSpec> ButtonsOf(uint32_t style) {
  switch (style & 0xF) {
    case kMbOkCancel:
      return {{kIdOk, ButtonCaption(u"lOk", u"OK")},
              {kIdCancel, ButtonCaption(u"lCancel", u"Cancel")}};
    case kMbYesNo:
      return {{kIdYes, u"&Yes"}, {kIdNo, u"&No"}};
    default:
      return {{kIdOk, ButtonCaption(u"lOk", u"OK")}};
  }
}

TSystemIcon IconOf(uint32_t style) {
  switch (style & 0xF0) {
    case kMbIconError:
      return TSystemIcon::siError;
    case kMbIconQuestion:
      return TSystemIcon::siQuestion;
    case kMbIconWarning:
      return TSystemIcon::siWarning;
    case kMbIconInformation:
      return TSystemIcon::siInformation;
    default:
      return TSystemIcon::siNone;
  }
}

constexpr int kPadding = 16;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 25;
constexpr int kMinTextWidth = 220;
constexpr int kMaxTextWidth = 420;

}  // namespace

TRuxMessageDialog::TRuxMessageDialog(TRuxApplication& application, StringView text,
                                     StringView title, uint32_t style)
    : TRuxForm(application), icon_(IconOf(style)) {
  SetName(u"RuxMessageDialog");
  SetCaption(title);
  SetAccessibleName(title);
  const int text_left = kPadding + (icon_ == TSystemIcon::siNone ? 0 : kIconSize + 12);
  // The text decides the size: as wide as it needs up to a limit, as high as it wraps.
  const TSize natural = Backend().MeasureText(text, Font(), kDefaultDpi, 0);
  const int text_width = std::clamp(natural.Width + 4, kMinTextWidth, kMaxTextWidth);
  const TSize wrapped = Backend().MeasureText(text, Font(), kDefaultDpi, text_width);
  const int text_height = std::max(wrapped.Height + 4, kIconSize);
  const std::vector<TButtonSpec> specs = ButtonsOf(style);
  const int buttons_width =
      static_cast<int>(specs.size()) * kButtonWidth + (static_cast<int>(specs.size()) - 1) * 8;
  const int width = std::max(text_left + text_width + kPadding, buttons_width + 2 * kPadding);
  const int height = kPadding + text_height + kPadding + kButtonRowHeight;
  SetClientSize(width, height);

  text_ = &CreateComponent<TRuxLabel>();
  text_->SetParent(this);
  text_->SetBounds({text_left, kPadding, text_width, text_height});
  text_->SetWordWrap(true);
  text_->SetCaption(text);

  const int default_index = (style & kMbDefButton2) != 0 && specs.size() > 1 ? 1 : 0;
  int left = width - kPadding - buttons_width;
  const int top = height - kButtonRowHeight + (kButtonRowHeight - kButtonHeight) / 2;
  for (size_t i = 0; i < specs.size(); ++i) {
    TRuxButton& button = CreateComponent<TRuxButton>();
    button.SetParent(this);
    button.SetBounds({left, top, kButtonWidth, kButtonHeight});
    button.SetCaption(specs[i].Caption);
    button.SetModalResult(specs[i].Result);
    button.SetTabOrder(static_cast<int>(i));
    if (static_cast<int>(i) == default_index) SetDefaultButton(&button);
    if (specs[i].Result == kIdCancel || specs.size() == 1) SetCancelButton(&button);
    buttons_.push_back(&button);
    left += kButtonWidth + 8;
  }
}

void TRuxMessageDialog::Paint(ICanvas& canvas) {
  const TRuxTheme& theme = Application().Theme();
  const int dpi = canvas.Dpi();
  const TRect client{0, 0, DeviceBounds().Width, DeviceBounds().Height};
  canvas.FillRect(client, theme.Window);
  const int row = ScaleValue(kButtonRowHeight, dpi);
  canvas.FillRect({0, client.Height - row, client.Width, row}, theme.Face);
  canvas.FillRect({0, client.Height - row, client.Width, 1}, theme.Border);
  if (icon_ != TSystemIcon::siNone) {
    canvas.DrawSystemIcon(TRect{kPadding, kPadding, kIconSize, kIconSize}.Scaled(dpi), icon_);
  }
}

TColor TRuxMessageDialog::BackgroundAt(const TRect& rect) const {
  const TRuxTheme& theme = Application().Theme();
  return rect.Top >= Bounds().Height - kButtonRowHeight ? theme.Face : theme.Window;
}

TColor TRuxMessageDialog::DefaultTextColor() const {
  return Application().Theme().Text;
}

int TRuxMessageDialog::Show(TRuxForm& owner, StringView text, StringView title, uint32_t style) {
  TRuxMessageDialog dialog(owner.Application(), text, title, style);
  dialog.SetOwnerForm(&owner);
  const int result = dialog.ShowModal();
  if (result != kMrNone) return result;
  // Closed without a button (Escape, the close box): Cancel where the box has it.
  return dialog.CancelButton() ? dialog.CancelButton()->ModalResult() : kIdCancel;
}

}  // namespace nolu::ui
