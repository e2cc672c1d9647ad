#include "product/pages/setup_page_addons.h"

#include "base/format.h"
#include "core/setup.h"
#include "resources/setup_resources.h"
#include "ui/controls/canvas.h"

namespace nolu::ui {

TSetupPageAddons::TSetupPageAddons(TSetupPageContext& context)
    : TSetupPage(context, kClassName),
      info_(TAddonsInfo::Load(nolu::Setup()->Resources())),
      image_(nolu::Setup()->Resources().GetImage(info_.Value(u"I0"))) {}

void TSetupPageAddons::CreateControls() {
  CreateHeading({40, 30, 300, 40}, u"L0").SetWordWrap(true);
  auto save = [this] { SaveOptions(); };
  TRuxCheckBox& viewer = CreateCheckBox({60, 100, 500, 17}, u"CB1", save);
  TRuxCheckBox& extensions = CreateCheckBox({60, 120, 500, 17}, u"CB2", save);
  TRuxCheckBox& shortcuts = CreateCheckBox({60, 140, 500, 17}, u"CB3", save);
  boxes_ = {{{&viewer, u"Common", u"AddonsViewer"},
             {&extensions, u"Common", u"AddonsExtensions"},
             {&shortcuts, u"Common", u"AddonsShortcuts"}}};
  for (TRuxFormattedLabel** label : {&name_label_, &terms_label_}) {
    *label = &CreateControl<TRuxFormattedLabel>({}, u"");
    (*label)->SetTransparent(true);
    (*label)->SetBorders(false);
  }
  // Room for two lines: the add-on's sentence wraps in the longer languages.
  name_label_->SetBounds({40, 274, 500, 34});
  terms_label_->SetBounds({40, 310, 550, 50});
}

void TSetupPageAddons::Localize() {
  TSetupPage::Localize();
  name_label_->SetText(Format(GetString(u"L1"), {info_.Value(u"L0")}));
  terms_label_->SetText(Format(GetString(u"L2"), {info_.Value(u"L1"), info_.Value(u"L2")}));
}

void TSetupPageAddons::Paint(ICanvas& canvas) {
  TSetupPage::Paint(canvas);
  if (image_.Empty()) return;
  const int dpi = Dpi();
  const int width = ScaleValue(image_.LogicalWidth(), dpi);
  const int height = ScaleValue(image_.LogicalHeight(), dpi);
  const int right = DeviceBounds().Width - ScaleValue(10, dpi);
  canvas.DrawPicture({right - width, 0, width, height}, image_, true);
}

void TSetupPageAddons::Prepare() {
  LoadOptionBoxes(boxes_, Options(), true);
  SaveOptions();
}

void TSetupPageAddons::SaveOptions() {
  SaveOptionBoxes(boxes_, Options());
}

}  // namespace nolu::ui
