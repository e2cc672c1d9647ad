// TRuxEdit: a single-line edit with a change event and, optionally, an embedded button at
// its right end (the "Browse" button of a folder edit).
#pragma once

#include <functional>

#include "ui/controls/rux_custom_control.h"

namespace nolu::ui {

class TRuxEdit : public TRuxCustomControl {
 public:
  TControlKind Kind() const override { return TControlKind::kEdit; }
  TAccessibleRole AccessibleRole() const override { return TAccessibleRole::arEditableText; }
  bool TabStop() const override { return true; }

  const String& Text() const { return text_; }
  // Replaces the text and calls OnChange, as typing does.
  void SetText(StringView text);
  std::function<void()> OnChange;

  // The embedded button: caption, width in 96-DPI units, click handler. Without a caption
  // the edit has none.
  const String& ButtonCaption() const { return button_caption_; }
  int ButtonWidth() const { return button_width_; }
  void SetButton(StringView caption, int width, std::function<void()> on_click);
  // The user's click on the embedded button.
  void ButtonClick();

 private:
  String text_;
  String button_caption_;
  int button_width_ = 0;
  std::function<void()> on_button_click_;
};

}  // namespace nolu::ui
