// TRuxForm: a top-level window — a fixed-size, DPI-aware form with a caption, a default
// button, a close rule, a modal result and the painting of its client area.
#pragma once

#include <functional>

#include "ui/controls/rux_application.h"
#include "ui/controls/rux_custom_control.h"

namespace nolu::ui {

class TRuxButton;

// Modal results (the values of the message-box answers).
inline constexpr int kMrNone = 0;
inline constexpr int kMrOk = 1;
inline constexpr int kMrCancel = 2;

class TRuxForm : public TRuxCustomControl {
 public:
  explicit TRuxForm(TRuxApplication& application);
  ~TRuxForm() override;

  TControlKind Kind() const override { return TControlKind::kForm; }
  TAccessibleRole AccessibleRole() const override { return TAccessibleRole::arWindow; }
  TRuxApplication& Application() const { return application_; }
  IUiBackend& Backend() const { return application_.Backend(); }
  bool DarkMode() const { return application_.DarkMode(); }

  // The client area's size in 96-DPI units (the form's bounds are its client area).
  void SetClientSize(int width, int height);
  int FormDpi() const { return dpi_; }
  // The backend's report of the form's DPI (at creation and when the window moved to a
  // monitor of another scale): every control is rescaled, then DpiChanged runs.
  void SetDpi(int dpi);

  // The owner of a modal form (none: the desktop); centred over it.
  TRuxForm* OwnerForm() const { return owner_form_; }
  void SetOwnerForm(TRuxForm* owner) { owner_form_ = owner; }

  // Shows the form (its peers are made now); Run keeps it as the main window until it is
  // closed, ShowModal shows it over its owner and returns its modal result.
  void Show();
  void Run();
  int ShowModal();
  bool IsShown() const { return shown_; }
  // The close request of the window's close box, of Alt+F4 and of code: closes the form
  // when CloseQuery allows it. A request made while one is being decided is ignored.
  void Close();
  bool Closed() const { return closed_; }
  int ModalResult() const { return modal_result_; }
  // Sets the result and closes the form.
  void SetModalResult(int result);

  // The default button: Enter presses it.
  TRuxButton* DefaultButton() const { return default_button_; }
  void SetDefaultButton(TRuxButton* button);
  // Enter, as the backend reports it when no control took it.
  void EnterPressed();
  // Escape: the cancel button's click, when the form has one.
  TRuxButton* CancelButton() const { return cancel_button_; }
  void SetCancelButton(TRuxButton* button) { cancel_button_ = button; }
  void EscapePressed();
  // The control with an access key `key` (upper case) that can act, or none.
  TRuxCustomControl* FindAccessKey(Char key);

  // The focused control of the form.
  TRuxCustomControl* ActiveControl() const { return active_control_; }
  void SetActiveControl(TRuxCustomControl* control);
  // A child (or a parent of the active control) was hidden or disabled: the focus leaves it.
  void ControlHidden(TRuxCustomControl* control);
  // A child is leaving the form: it can no longer be the active control or a button.
  void ControlRemoved(TRuxCustomControl* control);

  // A caption with the system menu (and its close box); without, the caption has no buttons.
  bool HasSystemMenu() const { return has_system_menu_; }
  void SetHasSystemMenu(bool value) { has_system_menu_ = value; }
  // Kept above the other windows.
  bool StayOnTop() const { return stay_on_top_; }
  void SetStayOnTop(bool value) { stay_on_top_ = value; }
  // The Close item of the system menu (and so the caption's close box).
  bool SystemCloseEnabled() const { return system_close_enabled_; }
  void SetSystemCloseEnabled(bool enabled);

  std::function<void(bool& can_close)> OnCloseQuery;

  // After the system's settings changed (kColorSchemeChanged: light/dark or high contrast).
  virtual void ApplicationSettingsChanged(uint32_t flags);

 protected:
  // Decides whether a close request closes the form; OnCloseQuery by default.
  virtual void CloseQuery(bool& can_close);

 private:
  TRuxApplication& application_;
  TRuxForm* owner_form_ = nullptr;
  int dpi_ = kDefaultDpi;
  bool shown_ = false;
  bool closing_ = false;
  bool closed_ = false;
  int modal_result_ = kMrNone;
  TRuxButton* default_button_ = nullptr;
  TRuxButton* cancel_button_ = nullptr;
  TRuxCustomControl* active_control_ = nullptr;
  bool system_close_enabled_ = true;
  bool has_system_menu_ = true;
  bool stay_on_top_ = false;
};

}  // namespace nolu::ui
