#include "ui/controls/rux_formatted_label.h"

#include "base/locale.h"
#include "base/text_layout/text_layout_painter.h"
#include "base/text_layout/text_link_rules.h"
#include "ui/controls/canvas.h"
#include "ui/controls/rux_form.h"

namespace nolu::ui {
namespace {

TRuxColor ToText(TColor c) {
  return {c.R, c.G, c.B};
}
TColor FromText(TRuxColor c) {
  return TColor::Rgb(c.R, c.G, c.B);
}

// The arrangement's measurements and painting, on the label's canvas.
class TCanvasTextAdapter : public ITextMeasurer, public ITextLayoutCanvas {
 public:
  explicit TCanvasTextAdapter(ICanvas& canvas) : canvas_(canvas) {}
  TRuxTextExtent Measure(const TRuxTextFont& font, StringView text) override {
    return canvas_.MeasureRun(font, text);
  }
  void FillRect(const TRuxTextRect& r, TRuxColor color) override {
    canvas_.FillRect({r.Left, r.Top, r.Width, r.Height}, FromText(color));
  }
  void DrawText(int x, int baseline, StringView text, const TRuxTextFont& font,
                TRuxColor color) override {
    canvas_.DrawRun(x, baseline, text, font, FromText(color));
  }

 private:
  ICanvas& canvas_;
};

const TRuxTheme& ThemeOf(const TRuxCustomControl& control) {
  static const TRuxTheme kDefaultTheme;
  const TRuxForm* form = control.Form();
  return form ? form->Application().Theme() : kDefaultTheme;
}

}  // namespace

void TRuxFormattedLabel::SetText(StringView text) {
  if (text == layout_.Text()) return;
  Import(text);
}

void TRuxFormattedLabel::SetOptions(TRuxFormattedLabelOptions options) {
  if (options == options_) return;
  options_ = options;
  Import(String(layout_.Text()));
}

void TRuxFormattedLabel::Import(StringView text) {
  TextImportSettings settings;
  settings.AutoDetectEmails = (options_ & FormattedLabelOption(floAutoDetectEmails)) != 0;
  settings.AutoDetectURLs = (options_ & FormattedLabelOption(floAutoDetectURLs)) != 0;
  settings.AutoDetectTimeCodes = (options_ & FormattedLabelOption(floAutoDetectTimeCodes)) != 0;
  settings.DecimalSeparator = UserDecimalSeparator();
  layout_.SetText(text, settings);
  Changed();
}

void TRuxFormattedLabel::SetWordWrap(bool value) {
  if (value == word_wrap_) return;
  word_wrap_ = value;
  Changed();
}

void TRuxFormattedLabel::SetAlignment(THorzAlign value) {
  if (value == alignment_) return;
  alignment_ = value;
  Changed();
}

void TRuxFormattedLabel::SetBorders(bool value) {
  if (value == borders_) return;
  borders_ = value;
  Changed();
}

void TRuxFormattedLabel::Changed() {
  arranged_for_.reset();
  NotifyPeer(TAspect::kState);
}

void TRuxFormattedLabel::DpiChanged(int old_dpi, int new_dpi) {
  TRuxCustomControl::DpiChanged(old_dpi, new_dpi);
  arranged_for_.reset();
}

TColor TRuxFormattedLabel::TextColor() const {
  if (Font().Color) return *Font().Color;
  return DefaultTextColor();
}

TColor TRuxFormattedLabel::LinkColor() const {
  const TRuxTheme& theme = ThemeOf(*this);
  return EnabledInTree() ? theme.Link : theme.DisabledText;
}

void TRuxFormattedLabel::Arrange(ICanvas& canvas) {
  const int dpi = canvas.Dpi();
  const TArrangedFor inputs{DeviceBounds().Width - 2 * BorderWidth(),
                            dpi,
                            Font(),
                            word_wrap_,
                            alignment_,
                            EnabledInTree(),
                            TextColor(),
                            LinkColor()};
  if (arranged_for_ == inputs) return;
  TRuxTextLayoutParams params;
  params.Width = inputs.Width;
  params.WordWrap = word_wrap_;
  params.Alignment = alignment_ == THorzAlign::haRight    ? taRightJustify
                     : alignment_ == THorzAlign::haCenter ? taCenter
                                                          : taLeftJustify;
  params.Dpi = dpi;
  params.Font.Name = Font().Name;
  params.Font.Height = (Font().Size * dpi + 36) / 72;
  if (Font().Bold) params.Font.Styles |= FontStyleBit(fsBold);
  if (Font().Underline) params.Font.Styles |= FontStyleBit(fsUnderline);
  params.TextColor = ToText(inputs.Text);
  params.LinkColor = ToText(inputs.Link);
  TCanvasTextAdapter adapter(canvas);
  layout_.Arrange(params, adapter);
  arranged_for_ = inputs;
}

void TRuxFormattedLabel::Paint(ICanvas& canvas) {
  Arrange(canvas);
  const TRect client = DeviceBounds();
  const TRect whole{0, 0, client.Width, client.Height};
  if (!Transparent()) {
    canvas.FillRect(whole, Color() ? *Color() : ThemeOf(*this).Window);
  }
  if (borders_) {
    const TRuxTheme& theme = ThemeOf(*this);
    canvas.FillRect({0, 0, whole.Width, 1}, theme.Border);
    canvas.FillRect({0, whole.Height - 1, whole.Width, 1}, theme.Border);
    canvas.FillRect({0, 0, 1, whole.Height}, theme.Border);
    canvas.FillRect({whole.Width - 1, 0, 1, whole.Height}, theme.Border);
  }
  TCanvasTextAdapter adapter(canvas);
  PaintTextLayout(layout_, adapter, BorderWidth(), BorderWidth());
}

std::optional<String> TRuxFormattedLabel::LinkAt(int x, int y) const {
  const TRuxTextLayoutRun* run = layout_.RunAt(x - BorderWidth(), y - BorderWidth());
  if (!run || !run->Link) return std::nullopt;
  return run->Link;
}

bool TRuxFormattedLabel::ClickAt(int x, int y) {
  const std::optional<String> target = LinkAt(x, y);
  if (!target) return false;
  ExecuteLink(*target);
  return true;
}

void TRuxFormattedLabel::ExecuteLink(StringView target) {
  bool handled = false;
  if (OnLinkExecute) OnLinkExecute(target, handled);
  if (handled || !HasLinkScheme(target)) return;
  if (TRuxForm* form = Form()) form->Application().OpenLink(target);
}

}  // namespace nolu::ui
