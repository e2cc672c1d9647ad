#include "ui/headless/headless_backend.h"

#include "base/errors.h"
#include "platform/platform.h"
#include "ui/controls/rux_aero_peek.h"
#include "ui/controls/rux_form.h"
#include "ui/controls/text_metrics.h"

namespace nolu::ui {

TSize THeadlessBackend::MeasureText(StringView text, const TFont& font, int dpi, int max_width) {
  return ApproximateTextSize(text, font, dpi, max_width);
}

void THeadlessBackend::Run(TRuxForm& form) {
  if (!on_run_) throw EInvalidOperation(u"The test gave no script for the main window");
  on_run_(form);
  if (!form.Closed()) throw EInvalidOperation(u"The main window is still open after its script");
}

void THeadlessBackend::ShowModal(TRuxForm& form) {
  ++modal_count_;
  if (!on_modal_) throw EInvalidOperation(u"The test gave no script for a modal window");
  on_modal_(form);
  if (!form.Closed()) throw EInvalidOperation(u"A modal window is still open after its script");
}

std::optional<String> THeadlessBackend::ChooseFolder(TRuxForm*, StringView start,
                                                     const TFolderDialogTexts& texts) {
  if (!on_choose_folder_)
    throw EInvalidOperation(u"The test gave no script for the folder chooser");
  return on_choose_folder_(start, texts);
}

std::unique_ptr<TRuxAeroPeek> THeadlessBackend::CreateAeroPeek(TRuxForm&) {
  return std::make_unique<TRuxAeroPeek>();
}

void THeadlessBackend::ProcessMessages() {
  if (on_process_messages_) {
    // Once per call, not again from inside itself.
    auto hook = std::move(on_process_messages_);
    hook();
    if (!on_process_messages_) on_process_messages_ = std::move(hook);
  }
  CurrentPlatform().Messages().DispatchPending();
}

}  // namespace nolu::ui
