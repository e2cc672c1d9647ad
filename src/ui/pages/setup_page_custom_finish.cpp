#include "ui/pages/setup_page_custom_finish.h"

#include "core/setup.h"

namespace nolu::ui {

void TSetupPageCustomFinish::CreateControls() {
  TSetupPageFullScreen::CreateControls();
  // The text ends above the error list and the run boxes: a window that overlaps them would
  // hide them (siblings clip each other).
  Text().SetBounds({210, 61, 400, 55});
  error_memo_ = &CreateControl<TRuxMemo>({210, 120, 410, 312}, u"");
  error_memo_->SetMargins({210, 120, 20, 4});
  error_memo_->SetAlignWithMargins(true);
  error_memo_->SetAlign(TAlign::alClient);
  error_memo_->SetReadOnly(true);
  error_memo_->SetAccessibleName(u"Errors");
}

void TSetupPageCustomFinish::Prepare() {
  const StringList& errors = nolu::Setup()->Errors();
  error_memo_->SetVisible(!errors.empty());
  if (errors.empty()) return;
  TFont font = Heading().Font();
  font.Color = TColor::Rgb(255, 0, 0);
  Heading().SetFont(font);
  Heading().SetCaption(GetString(u"E1"));
  error_memo_->SetLines(errors);
  Text().SetCaption(GetString(u"E2"));
}

}  // namespace nolu::ui
