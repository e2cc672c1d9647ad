// TWizardForm: the one window of an interactive run. It owns the pages of the mode, shows one
// at a time between a painted header and footer, drives Back and Next from the page
// interface, draws the page-progress strip and mirrors it on the taskbar button, follows the
// worker through the setup object's notifications, and decides when it may close.
#pragma once

#include <memory>

#include "core/installer_notify.h"
#include "ui/controls/rux_aero_peek.h"
#include "ui/controls/rux_button.h"
#include "ui/controls/rux_form.h"
#include "ui/controls/rux_label.h"
#include "ui/pages/setup_page_class_table.h"
#include "ui/pages/setup_page_list.h"
#include "ui/wizard/wizard_palette.h"
#include "ui/wizard/wizard_progress_view_info.h"
#include "ui/wizard/wizard_view_info.h"

namespace nolu::ui {

// Shows the message dialog (owner, text, title, message-box style) and returns the button
// pressed; the wizard asks its "QM" question through it.
using TMessageDialogFunction =
    std::function<int(TRuxForm& owner, StringView text, StringView title, uint32_t style)>;

class TWizardForm : public TRuxForm, public IInstallerNotify {
 public:
  // The style of the close question: OK and Cancel, question icon, Cancel the default.
  static constexpr uint32_t kCloseQuestionStyle = 0x121;

  // Builds the pages of the mode from `classes` and shows the first; in an automatic run
  // that is the install page, so the worker starts here.
  TWizardForm(TRuxApplication& application, TWizardPalette& palette,
              const TSetupPageClassTable& classes, TMessageDialogFunction message_dialog);
  // Starts the programs chosen on the final page, then frees everything in order.
  ~TWizardForm() override;

  TRuxButton& bBack() const { return *back_; }
  TRuxButton& bNext() const { return *next_; }
  TRuxLabel& lbVerInfo() const { return *version_; }
  TSetupCustomPage* ActivePage() const { return active_page_; }
  TSetupPageList& Pages() { return pages_; }
  const TWizardPalette& Palette() const { return palette_; }
  TWizardProgressViewInfo& ProgressViewInfo() const { return *progress_view_info_; }
  TWizardFormViewInfo& ViewInfo() const { return *view_info_; }
  TRuxAeroPeek& AeroPeek() const { return *aero_peek_; }
  // Whether the user ended the wizard through the close question (answered OK).
  bool CancelledByUser() const { return cancelled_by_user_; }

  void Notify(uint32_t code, const TNotifyParam& param) override;
  void bBackClick();
  void bNextClick();
  void SetActivePage(TSetupCustomPage* page);
  void UpdateButtons();
  void UpdateProgress();
  // The caption key of Next: by the next available page ("bFinish" when there is none).
  String NextButtonKey() const;

  void Paint(ICanvas& canvas) override;
  TColor BackgroundAt(const TRect& rect) const override;
  TColor DefaultTextColor() const override;
  void DpiChanged(int old_dpi, int new_dpi) override;
  void ApplicationSettingsChanged(uint32_t flags) override;

 protected:
  void CloseQuery(bool& can_close) override;

 private:
  void CreatePages(const TSetupPageClassTable& classes);
  void Localize();
  void UpdateProgressBounds();
  void ApplyPalette();

  TWizardPalette& palette_;
  TSetupPageContext page_context_;
  TMessageDialogFunction message_dialog_;
  TRuxButton* back_ = nullptr;
  TRuxButton* next_ = nullptr;
  TRuxLabel* version_ = nullptr;
  TSetupCustomPage* active_page_ = nullptr;
  TSetupPageList pages_;
  std::unique_ptr<TWizardProgressViewInfo> progress_view_info_;
  std::unique_ptr<TRuxAeroPeek> aero_peek_;
  std::unique_ptr<TWizardFormViewInfo> view_info_;
  bool cancelled_by_user_ = false;
  // A close answered with OK while the worker could not be waited for (inside one of its
  // notifications): the wizard closes when the run has ended.
  bool close_when_finished_ = false;
};

}  // namespace nolu::ui
