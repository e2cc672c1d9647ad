#include "ui/dialogs/setup_language_dialog.h"

#include <span>

#include "platform/platform.h"
#include "ui/controls/canvas.h"

namespace nolu::ui {

TSetupLanguageDialog::TSetupLanguageDialog(TRuxApplication& application,
                                           const std::vector<TLanguageItem>& items, int preselected)
    : TRuxForm(application) {
  SetName(u"SetupLanguageDialog");
  SetCaption(u"Select Language");
  SetClientSize(220, 75);
  SetHasSystemMenu(false);
  SetStayOnTop(true);

  list_ = &CreateComponent<TRuxComboBox>();
  list_->SetParent(this);
  list_->SetBounds({8, 8, 204, 24});
  list_->SetMargins({8, 8, 8, 8});
  list_->SetAlignWithMargins(true);
  list_->SetAlign(TAlign::alTop);
  list_->SetTabOrder(0);
  list_->SetAccessibleName(u"Language");
  std::vector<TComboItem> entries;
  for (const TLanguageItem& item : items) {
    TComboItem entry;
    entry.Text = item.Name;
    entry.Value = item.Index;
    // An icon that cannot be read leaves the entry without a picture.
    if (!item.Icon.empty()) {
      CurrentPlatform().Pictures().Decode(std::span<const uint8_t>(item.Icon), entry.Picture);
    }
    entries.push_back(std::move(entry));
  }
  list_->SetItems(std::move(entries));
  list_->SetItemIndex(preselected);

  ok_ = &CreateComponent<TRuxButton>();
  ok_->SetParent(this);
  ok_->SetBounds({60, 42, 100, 25});
  ok_->SetMargins({60, 0, 60, 8});
  ok_->SetAlignWithMargins(true);
  ok_->SetAlign(TAlign::alBottom);
  ok_->SetCaption(u"OK");
  ok_->SetModalResult(kMrOk);
  ok_->SetTabOrder(1);
  SetDefaultButton(ok_);
  SetActiveControl(list_);
}

int TSetupLanguageDialog::SelectedValue() const {
  const int index = list_->ItemIndex();
  if (index < 0 || index >= static_cast<int>(list_->Items().size())) return -1;
  return list_->Items()[static_cast<size_t>(index)].Value;
}

void TSetupLanguageDialog::CloseQuery(bool& can_close) {
  // Only OK closes it: the run needs a language.
  can_close = ModalResult() == kMrOk;
}

void TSetupLanguageDialog::Paint(ICanvas& canvas) {
  canvas.FillRect({0, 0, DeviceBounds().Width, DeviceBounds().Height},
                  Application().Theme().Window);
}

TColor TSetupLanguageDialog::BackgroundAt(const TRect&) const {
  return Application().Theme().Window;
}

TColor TSetupLanguageDialog::DefaultTextColor() const {
  return Application().Theme().Text;
}

int TSetupLanguageDialog::Choose(TRuxApplication& application,
                                 const std::vector<TLanguageItem>& items, int preselected) {
  TSetupLanguageDialog dialog(application, items, preselected);
  dialog.ShowModal();
  return dialog.SelectedValue();
}

}  // namespace nolu::ui
