// TRuxMessageDialog: the toolkit's message box — a text, an icon and the buttons of a
// message-box style (MB_OK 0, MB_OKCANCEL 1, MB_YESNO 4; the icons 0x10..0x40; the default
// button 0x100), in the wizard's colours. Escape answers Cancel where there is one.
#pragma once

#include <cstdint>

#include "ui/controls/canvas.h"
#include "ui/controls/rux_button.h"
#include "ui/controls/rux_form.h"
#include "ui/controls/rux_label.h"

namespace nolu::ui {

class TRuxMessageDialog : public TRuxForm {
 public:
  TRuxMessageDialog(TRuxApplication& application, StringView text, StringView title,
                    uint32_t style);

  void Paint(ICanvas& canvas) override;
  TColor BackgroundAt(const TRect& rect) const override;
  TColor DefaultTextColor() const override;
  TSystemIcon Icon() const { return icon_; }
  const std::vector<TRuxButton*>& Buttons() const { return buttons_; }
  TRuxLabel& TextLabel() const { return *text_; }

  // Shows the dialog over `owner` and returns the button pressed (kIdOk, kIdCancel, ...).
  static int Show(TRuxForm& owner, StringView text, StringView title, uint32_t style);

  // The height of the button row at the bottom, in 96-DPI units.
  static constexpr int kButtonRowHeight = 46;

 private:
  TSystemIcon icon_ = TSystemIcon::siNone;
  TRuxLabel* text_ = nullptr;
  std::vector<TRuxButton*> buttons_;
};

}  // namespace nolu::ui
