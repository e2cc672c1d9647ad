// TSetupLanguageDialog: "Select Language" — the languages of the setup package in a drop-down
// list with their icons, and OK. There is no way to cancel: the dialog closes only with OK.
#pragma once

#include <vector>

#include "resources/setup_resources.h"
#include "ui/controls/rux_button.h"
#include "ui/controls/rux_combo_box.h"
#include "ui/controls/rux_form.h"

namespace nolu::ui {

class TSetupLanguageDialog : public TRuxForm {
 public:
  // `items` in display order (TSetupResources::LanguageItems), `preselected` a position among
  // them or -1.
  TSetupLanguageDialog(TRuxApplication& application, const std::vector<TLanguageItem>& items,
                       int preselected);

  // The chosen language: an index into the resources' Languages, -1 when none is selected.
  int SelectedValue() const;
  TRuxComboBox& List() const { return *list_; }
  TRuxButton& OkButton() const { return *ok_; }

  void Paint(ICanvas& canvas) override;
  TColor BackgroundAt(const TRect& rect) const override;
  TColor DefaultTextColor() const override;

  // Shows the dialog and returns the chosen index (the chooser of InitializeLanguages).
  static int Choose(TRuxApplication& application, const std::vector<TLanguageItem>& items,
                    int preselected);

 protected:
  void CloseQuery(bool& can_close) override;

 private:
  TRuxComboBox* list_ = nullptr;
  TRuxButton* ok_ = nullptr;
};

}  // namespace nolu::ui
