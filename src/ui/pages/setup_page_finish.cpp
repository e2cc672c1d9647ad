#include "ui/pages/setup_page_finish.h"

#include "base/text.h"
#include "core/setup.h"
#include "resources/setup_resources.h"

namespace nolu::ui {

void TSetupPageFinish::CreateControls() {
  TSetupPageCustomFinish::CreateControls();
  home_page_ = &CreateLabel({210, 410, 410, 20}, u"L3", false);
  home_page_->SetMargins({210, 0, 20, 4});
  home_page_->SetAlignWithMargins(true);
  home_page_->SetLinkTarget(nolu::Setup()->ProductInfo().GetHomePage());
  home_page_->SetAlignment(THorzAlign::haCenter);
  TFont font = home_page_->Font();
  font.Color = TColor::Rgb(0, 102, 204);
  font.Size = 8;
  font.Underline = true;
  home_page_->SetFont(font);
  home_page_->SetAutoSize(true);
  home_page_->SetAlign(TAlign::alBottom);

  const TSetupScriptGroup& actions = nolu::Setup()->Resources().Script().Actions();
  for (size_t i = 0; i < actions.Count(); ++i) {
    const int top = 120 + 24 * static_cast<int>(i);
    TRuxCheckBox& box =
        CreateCheckBox({210, top, 320, 17}, u"CB" + IntToStr(static_cast<int>(i) + 1),
                       [this] { SaveRunChoices(); });
    box.SetChecked(true);
    run_boxes_.push_back(&box);
  }
}

void TSetupPageFinish::Prepare() {
  TSetupPageCustomFinish::Prepare();
  const TSetupScriptGroup& actions = nolu::Setup()->Resources().Script().Actions();
  for (size_t i = 0; i < run_boxes_.size() && i < actions.Count(); ++i) {
    run_boxes_[i]->SetCaption(GetString(actions.Items(i).ValueOrFileName()));
    run_boxes_[i]->SetVisible(!ErrorMemo().Visible());
  }
  SaveRunChoices();
}

void TSetupPageFinish::SaveRunChoices() {
  const TSetupScriptGroup& actions = nolu::Setup()->Resources().Script().Actions();
  for (size_t i = 0; i < run_boxes_.size() && i < actions.Count(); ++i) {
    Options().WriteBool(u"Actions", actions.Items(i).Name, run_boxes_[i]->Checked());
  }
}

}  // namespace nolu::ui
