#include "ui/controls/rux_button.h"

#include "ui/controls/rux_form.h"

namespace nolu::ui {

bool TRuxButton::Default() const {
  const TRuxForm* form = Form();
  return form && form->DefaultButton() == this;
}

void TRuxButton::Click() {
  // The form may be closed and freed by the handler: what is needed after it is read first.
  TRuxForm* form = Form();
  const int result = modal_result_;
  if (OnClick) OnClick();
  if (result != 0 && form) form->SetModalResult(result);
}

}  // namespace nolu::ui
