#include "ui/pages/setup_page_ready_to_install.h"

#include "core/setup.h"
#include "core/setup_action.h"
#include "core/setup_summary_builder.h"

namespace nolu::ui {

void TSetupPageReadyToInstall::CreateControls() {
  viewer_ = &CreateControl<TRuxRichViewer>({28, 22, 584, 325}, u"");
  viewer_->SetMargins({28, 22, 28, 22});
  viewer_->SetAlignWithMargins(true);
  viewer_->SetAlign(TAlign::alClient);
  // Read-only text that takes no focus or input.
  viewer_->SetEnabled(false);
}

String TSetupPageReadyToInstall::BuildSummary() {
  TSetupSummaryBuilder builder;
  nolu::Setup()->ProductInfo().PopulateActions([&](const TSetupActionClass& cls) {
    // Made only to describe itself: action constructors do no work.
    std::unique_ptr<TSetupAction> action = cls.Create();
    action->PopulateSummary(builder);
  });
  return builder.ToString();
}

void TSetupPageReadyToInstall::Prepare() {
  viewer_->SetText(BuildSummary());
}

}  // namespace nolu::ui
