#include "ui/pages/setup_page_install.h"

#include "core/setup.h"

namespace nolu::ui {

TSetupPageInstall::TSetupPageInstall(TSetupPageContext& context, StringView class_name)
    : TSetupPage(context, class_name) {
  nolu::Setup()->AddListener(this);
}

TSetupPageInstall::~TSetupPageInstall() {
  if (TSetup* setup = nolu::Setup()) setup->RemoveListener(this);
}

void TSetupPageInstall::CreateControls() {
  action_bar_ = &CreateControl<TRuxProgressBar>({30, 40, 580, 18}, u"");
  total_bar_ = &CreateControl<TRuxProgressBar>({30, 65, 580, 18}, u"");
  status_ = &CreateLabel({30, 16, 580, 18}, u"", false);
  status_->SetCaption(GetString(u"L1"));
  TFont font = status_->Font();
  font.Size = 8;
  status_->SetFont(font);
  // Read out as a group: what happens now, then how far each bar is.
  action_bar_->SetAccessibleName(u"Current step");
  total_bar_->SetAccessibleName(u"Overall progress");
}

int TSetupPageInstall::GetProgress() {
  return total_bar_->Position();
}

void TSetupPageInstall::Prepare() {
  nolu::Setup()->Start(/*wait=*/false);
}

void TSetupPageInstall::Notify(uint32_t code, const TNotifyParam& param) {
  switch (code) {
    case ncFinished:
      finished_ = true;
      break;
    case ncProgress: {
      const int current = static_cast<int>(param.Value & 0xFFFF);
      const int overall = static_cast<int>((param.Value >> 16) & 0xFFFF);
      if (action_bar_->Position() == current && total_bar_->Position() == overall) return;
      action_bar_->SetPosition(current);
      total_bar_->SetPosition(overall);
      // The worker waits in its send meanwhile: the window stays painted and answers.
      Context().Application.ProcessMessages();
      break;
    }
    case ncStatusText:
      if (param.Text) status_->SetCaption(*param.Text);
      Context().Application.ProcessMessages();
      break;
    default:
      break;
  }
}

}  // namespace nolu::ui
