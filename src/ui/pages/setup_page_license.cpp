#include "ui/pages/setup_page_license.h"

#include "core/setup.h"
#include "resources/setup_resources.h"

namespace nolu::ui {

void TSetupPageLicense::CreateControls() {
  viewer_ = &CreateControl<TRuxRichViewer>({28, 22, 584, 340}, u"");
  viewer_->SetMargins({28, 22, 28, 4});
  viewer_->SetAlignWithMargins(true);
  viewer_->SetAlign(TAlign::alClient);
  accept_ = &CreateCheckBox({28, 0, 584, 16}, u"L1", [this] { NotifyChanged(); });
  accept_->SetMargins({28, 4, 28, 22});
  accept_->SetAlignWithMargins(true);
  accept_->SetAlign(TAlign::alBottom);
}

bool TSetupPageLicense::CanGoNext() {
  return accept_->Checked();
}

void TSetupPageLicense::Prepare() {
  std::unique_ptr<TMemoryStream> license = nolu::Setup()->Resources().GetLicenseStream();
  viewer_->LoadFromStream(license.get());
  // A license missing from the package shows an empty viewer; the box is still required.
  if (!license) viewer_->SetText(u"");
}

void TSetupPageLicense::VisibleChanged() {
  TSetupPage::VisibleChanged();
  if (Visible() && !accept_->Checked()) viewer_->SetFocus();
}

}  // namespace nolu::ui
