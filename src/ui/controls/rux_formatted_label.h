// TRuxFormattedLabel: a label whose text carries bracket-tag markup (bold, colours, sizes,
// links) and whose words that are web addresses, e-mail addresses or time codes become links
// by themselves, as its Options say.
//
// The label arranges its text whenever it is painted and something the arrangement depends
// on has changed (text, options, size, font, DPI, word wrap, alignment, borders, enabled
// state); the runs of the last arrangement are what a click or the mouse cursor is tested
// against. Clicks reach it from the backend (ClickAt); a link whose target has a scheme
// ("https://") opens unless OnLinkExecute handled it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "base/text_layout/text_layout.h"
#include "ui/controls/rux_custom_control.h"

namespace nolu::ui {

enum TRuxFormattedLabelOption : uint8_t {
  floAutoDetectEmails = 0,
  floAutoDetectURLs = 1,
  floAutoDetectTimeCodes = 2,
};
// A set of TRuxFormattedLabelOption: bit n is option n.
using TRuxFormattedLabelOptions = uint8_t;
constexpr TRuxFormattedLabelOptions FormattedLabelOption(TRuxFormattedLabelOption option) {
  return static_cast<TRuxFormattedLabelOptions>(1u << option);
}
inline constexpr TRuxFormattedLabelOptions kDefaultFormattedLabelOptions =
    FormattedLabelOption(floAutoDetectEmails) | FormattedLabelOption(floAutoDetectURLs);

class TRuxFormattedLabel : public TRuxCustomControl {
 public:
  TControlKind Kind() const override { return TControlKind::kFormattedLabel; }
  TAccessibleRole AccessibleRole() const override { return TAccessibleRole::arStaticText; }
  // The text is the markup itself, not a caption that a page's localization fills.
  bool HasCaption() const override { return false; }

  const String& Text() const { return layout_.Text(); }
  // Imports the text again only when it differs from the current one.
  void SetText(StringView text);
  TRuxFormattedLabelOptions Options() const { return options_; }
  void SetOptions(TRuxFormattedLabelOptions options);
  bool WordWrap() const { return word_wrap_; }
  void SetWordWrap(bool value);
  THorzAlign Alignment() const { return alignment_; }
  void SetAlignment(THorzAlign value);
  // A one-pixel frame in the border colours (off on the pages).
  bool Borders() const { return borders_; }
  void SetBorders(bool value);

  // Called with a clicked link's target; setting `handled` keeps the label from opening it.
  std::function<void(StringView target, bool& handled)> OnLinkExecute;

  // The colours the text is drawn in: the theme's text colour (or the font's), and the link
  // colour while enabled, the disabled text colour while disabled.
  TColor TextColor() const;
  TColor LinkColor() const;

  // Arranges the text for `canvas` when something changed since the last arrangement.
  void Arrange(ICanvas& canvas);
  const TRuxTextLayout& Layout() const { return layout_; }
  // The link target under a point in device pixels of the label, from the last arrangement.
  std::optional<String> LinkAt(int x, int y) const;
  // The user's click at a point in device pixels: runs the link under it, if any. True when
  // there was a link.
  bool ClickAt(int x, int y);
  // Runs a link as a click on it does: OnLinkExecute, then, unless it handled the target
  // and the target has a scheme, the application's OpenLink.
  void ExecuteLink(StringView target);

  void Paint(ICanvas& canvas) override;
  void DpiChanged(int old_dpi, int new_dpi) override;

 private:
  // The arrangement inputs; a paint with other inputs arranges again.
  struct TArrangedFor {
    int Width = -1;
    int Dpi = 0;
    TFont Font;
    bool WordWrap = true;
    THorzAlign Alignment = THorzAlign::haLeft;
    bool Enabled = true;
    TColor Text;
    TColor Link;
    friend bool operator==(const TArrangedFor&, const TArrangedFor&) = default;
  };
  void Import(StringView text);
  int BorderWidth() const { return borders_ ? 1 : 0; }
  void Changed();

  TRuxTextLayout layout_;
  TRuxFormattedLabelOptions options_ = kDefaultFormattedLabelOptions;
  bool word_wrap_ = true;
  THorzAlign alignment_ = THorzAlign::haLeft;
  bool borders_ = false;
  std::optional<TArrangedFor> arranged_for_;
};

}  // namespace nolu::ui
