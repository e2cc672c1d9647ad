// THeadlessBackend: the backend of host tests. It makes no peers (the controls keep all
// state themselves), measures text as text_metrics.h does, and runs a form by handing it to
// the test: Run and ShowModal call the test's script for that form, and a form still open
// when its script has returned is a fault of the test.
//
//   THeadlessBackend backend;
//   backend.OnModal([](TRuxForm& box) { THeadlessUser(box).ClickButton(u"OK"); });
//   backend.OnRun([](TRuxForm& wizard) { ... });
#pragma once

#include <functional>

#include "ui/controls/ui_backend.h"

namespace nolu::ui {

class THeadlessBackend : public IUiBackend {
 public:
  using TScript = std::function<void(TRuxForm& form)>;

  void OnRun(TScript script) { on_run_ = std::move(script); }
  void OnModal(TScript script) { on_modal_ = std::move(script); }
  // Called each time a page lets the window handle its messages (inside the worker's
  // notifications): what a user does in that moment.
  void OnProcessMessages(std::function<void()> hook) { on_process_messages_ = std::move(hook); }
  // Answers the folder chooser: given where it opens and its texts, the folder the user
  // chooses, or none for Cancel. Without one, opening the chooser fails the test.
  using TFolderScript =
      std::function<std::optional<String>(StringView start, const TFolderDialogTexts& texts)>;
  void OnChooseFolder(TFolderScript script) { on_choose_folder_ = std::move(script); }
  void SetDarkMode(bool dark) { dark_mode_ = dark; }
  void SetHighContrast(bool value) { high_contrast_ = value; }
  int ModalCount() const { return modal_count_; }

  std::unique_ptr<IControlPeer> CreatePeer(TRuxCustomControl&) override { return nullptr; }
  TSize MeasureText(StringView text, const TFont& font, int dpi, int max_width) override;
  void Run(TRuxForm& form) override;
  void ShowModal(TRuxForm& form) override;
  // Serves the worker's notifications that wait now (the platform's message channel).
  void ProcessMessages() override;
  bool DarkMode() override { return dark_mode_; }
  bool HighContrast() override { return high_contrast_; }
  TSystemColors SystemColors() override { return {}; }
  std::optional<String> ChooseFolder(TRuxForm* owner, StringView start,
                                     const TFolderDialogTexts& texts) override;
  std::unique_ptr<TRuxAeroPeek> CreateAeroPeek(TRuxForm& form) override;

 private:
  TScript on_run_;
  TScript on_modal_;
  std::function<void()> on_process_messages_;
  TFolderScript on_choose_folder_;
  bool dark_mode_ = false;
  bool high_contrast_ = false;
  int modal_count_ = 0;
};

}  // namespace nolu::ui
