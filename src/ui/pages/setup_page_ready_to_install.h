// TSetupPageReadyToInstall: the summary of what the run is going to do, built from the
// actions that the run would execute with the current mode and flags.
#pragma once

#include "ui/controls/rux_rich_viewer.h"
#include "ui/pages/setup_page.h"

namespace nolu::ui {

class TSetupPageReadyToInstall : public TSetupPage {
 public:
  static constexpr char16_t kClassName[] = u"TSetupPageReadyToInstall";
  explicit TSetupPageReadyToInstall(TSetupPageContext& context) : TSetupPage(context, kClassName) {}

  void Prepare() override;
  TRuxRichViewer& Viewer() const { return *viewer_; }

  // The summary text of the actions the product names now.
  static String BuildSummary();

 protected:
  void CreateControls() override;

 private:
  TRuxRichViewer* viewer_ = nullptr;
};

}  // namespace nolu::ui
