// TSetupPage: a page with localized texts, a control factory and the page fill.
//
// Its controls are created by CreateControls, then Localize gives the page its Title and
// Description and every named control its caption from the language files (section = the
// page's name, key = the control's name).
#pragma once

#include <functional>

#include "base/ini_file.h"
#include "ui/controls/rux_check_box.h"
#include "ui/controls/rux_label.h"
#include "ui/controls/rux_radio_box.h"
#include "ui/pages/setup_custom_page.h"

namespace nolu::ui {

class TSetupPage : public TSetupCustomPage {
 public:
  using TSetupCustomPage::TSetupCustomPage;

  String Title() const override { return title_; }
  String Description() const override { return description_; }
  void Initialize() override;

  void Paint(ICanvas& canvas) override;

  // The page's localized string (section: the page's name).
  String GetString(StringView key) const;
  // The run's options store.
  TRuxIniFile& Options() const;

 protected:
  virtual void CreateControls() {}
  virtual void Localize();

  // The control factory; rectangles in 96-DPI units.
  template <class T>
  T& CreateControl(const TRect& rect, StringView name) {
    T& control = CreateComponent<T>();
    control.SetParent(this);
    control.SetBounds(rect);
    control.SetName(name);
    return control;
  }
  TRuxCheckBox& CreateCheckBox(const TRect& rect, StringView name, std::function<void()> on_click);
  TRuxRadioBox& CreateRadioBox(const TRect& rect, StringView name, std::function<void()> on_click);
  // Multi-line: top-aligned text with word wrap. Labels are transparent.
  TRuxLabel& CreateLabel(const TRect& rect, StringView name, bool multi_line);
  // A single-line label in "Segoe UI" 11 pt.
  TRuxLabel& CreateHeading(const TRect& rect, StringView name);

 private:
  String title_;
  String description_;
};

}  // namespace nolu::ui
