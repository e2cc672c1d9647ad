// TSetupPageLicense: the license text of the run's language and the box that accepts it.
// Next only once it is accepted; never Back.
#pragma once

#include "ui/controls/rux_rich_viewer.h"
#include "ui/pages/setup_page.h"

namespace nolu::ui {

class TSetupPageLicense : public TSetupPage {
 public:
  static constexpr char16_t kClassName[] = u"TSetupPageLicense";
  explicit TSetupPageLicense(TSetupPageContext& context) : TSetupPage(context, kClassName) {}

  bool CanGoBack() override { return false; }
  bool CanGoNext() override;
  // Loads the license again (on every activation).
  void Prepare() override;

  TRuxCheckBox& AcceptBox() const { return *accept_; }
  TRuxRichViewer& Viewer() const { return *viewer_; }

 protected:
  void CreateControls() override;
  // Shown while not accepted: the text takes the focus, so the keys scroll it.
  void VisibleChanged() override;

 private:
  TRuxCheckBox* accept_ = nullptr;
  TRuxRichViewer* viewer_ = nullptr;
};

}  // namespace nolu::ui
