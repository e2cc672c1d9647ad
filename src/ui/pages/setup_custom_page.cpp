#include "ui/pages/setup_custom_page.h"

#include "core/installer_notify.h"
#include "core/setup.h"

namespace nolu::ui {

TSetupCustomPage::TSetupCustomPage(TSetupPageContext& context, StringView class_name)
    : context_(context) {
  SetVisible(false);
  SetName(class_name.size() > 6 ? class_name.substr(6) : class_name);
}

void TSetupCustomPage::NotifyChanged() {
  if (TSetup* setup = nolu::Setup()) setup->Notify(ncNavigation, 0);
}

TColor TSetupCustomPage::BackgroundAt(const TRect&) const {
  return context_.Palette.PageBackground;
}

TColor TSetupCustomPage::DefaultTextColor() const {
  return context_.Palette.Controls.Text;
}

}  // namespace nolu::ui
