#include "ui/controls/rux_form.h"

#include "ui/controls/rux_button.h"

namespace nolu::ui {

TRuxForm::TRuxForm(TRuxApplication& application) : application_(application) {
  application_.AddForm(this);
  SetVisible(false);
}

TRuxForm::~TRuxForm() {
  application_.RemoveForm(this);
  // The controls go before the window that holds them.
  FreeComponents();
  DestroyPeers();
}

void TRuxForm::SetClientSize(int width, int height) {
  SetBounds({Bounds().Left, Bounds().Top, width, height});
}

void TRuxForm::SetDpi(int dpi) {
  if (dpi <= 0 || dpi == dpi_) return;
  const int old = dpi_;
  dpi_ = dpi;
  DpiChanged(old, dpi);
}

void TRuxForm::Show() {
  if (shown_) return;
  shown_ = true;
  closed_ = false;
  SetVisible(true);
  Realign();
  CreatePeers();
  // The window appears once its controls exist (it was hidden while its peer was made).
  NotifyPeer(TAspect::kVisible);
  // The focus goes where the form put it before it was shown, else to the default button.
  if (active_control_ && active_control_->CanFocus()) {
    active_control_->SetFocus();
  } else if (default_button_ && default_button_->CanFocus()) {
    default_button_->SetFocus();
  }
}

void TRuxForm::Run() {
  Show();
  Backend().Run(*this);
}

int TRuxForm::ShowModal() {
  modal_result_ = kMrNone;
  Show();
  Backend().ShowModal(*this);
  return modal_result_;
}

void TRuxForm::Close() {
  if (closing_ || closed_) return;
  closing_ = true;
  bool can_close = true;
  try {
    CloseQuery(can_close);
  } catch (...) {
    closing_ = false;
    throw;
  }
  closing_ = false;
  if (!can_close) return;
  closed_ = true;
  SetVisible(false);
}

void TRuxForm::SetModalResult(int result) {
  modal_result_ = result;
  if (result != kMrNone) Close();
  // A close that was refused leaves the form open without a result.
  if (!closed_) modal_result_ = kMrNone;
}

void TRuxForm::CloseQuery(bool& can_close) {
  if (OnCloseQuery) OnCloseQuery(can_close);
}

void TRuxForm::SetDefaultButton(TRuxButton* button) {
  default_button_ = button;
  if (button) button->Invalidate();
}

void TRuxForm::EnterPressed() {
  if (default_button_ && default_button_->Showing() && default_button_->EnabledInTree()) {
    default_button_->Click();
  }
}

void TRuxForm::EscapePressed() {
  if (cancel_button_ && cancel_button_->Showing() && cancel_button_->EnabledInTree()) {
    cancel_button_->Click();
  }
}

namespace {

TRuxCustomControl* FindKey(TRuxCustomControl& parent, Char key) {
  for (TRuxCustomControl* child : parent.Children()) {
    if (!child->Showing() || !child->EnabledInTree()) continue;
    if (child->AccessKey() == key) return child;
    if (TRuxCustomControl* found = FindKey(*child, key)) return found;
  }
  return nullptr;
}

}  // namespace

TRuxCustomControl* TRuxForm::FindAccessKey(Char key) {
  return FindKey(*this, key);
}

void TRuxForm::SetActiveControl(TRuxCustomControl* control) {
  active_control_ = control;
}

void TRuxForm::ControlHidden(TRuxCustomControl* control) {
  for (TRuxCustomControl* c = active_control_; c; c = c->Parent()) {
    if (c == control) {
      active_control_ = nullptr;
      break;
    }
  }
}

void TRuxForm::ControlRemoved(TRuxCustomControl* control) {
  if (!control) return;
  ControlHidden(control);
  if (default_button_ == control) default_button_ = nullptr;
  if (cancel_button_ == control) cancel_button_ = nullptr;
}

void TRuxForm::SetSystemCloseEnabled(bool enabled) {
  if (enabled == system_close_enabled_) return;
  system_close_enabled_ = enabled;
  NotifyPeer(TAspect::kState);
}

void TRuxForm::ApplicationSettingsChanged(uint32_t) {
  NotifyPeer(TAspect::kColors);
  Invalidate();
}

}  // namespace nolu::ui
