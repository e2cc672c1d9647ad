// TWin32Backend: the toolkit on Windows — native child windows for the controls, GDI painting
// through the canvas interface, per-monitor DPI, the system's light/dark app setting and high
// contrast, and the message loops of the main window and of modal forms.
//
// Errors raised by the portable code inside a window procedure cannot cross it: the backend
// keeps the first one, ends the loop that runs, and raises it again from Run or ShowModal.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <tuple>

#include "ui/controls/rux_form.h"
#include "ui/controls/ui_backend.h"

namespace nolu::ui {

// A DWORD value below HKEY_CURRENT_USER, or `fallback`.
DWORD Win32UserDword(const wchar_t* key, const wchar_t* name, DWORD fallback);

class TWin32Backend : public IUiBackend {
 public:
  TWin32Backend();
  ~TWin32Backend() override;
  TWin32Backend(const TWin32Backend&) = delete;
  TWin32Backend& operator=(const TWin32Backend&) = delete;

  std::unique_ptr<IControlPeer> CreatePeer(TRuxCustomControl& control) override;
  TSize MeasureText(StringView text, const TFont& font, int dpi, int max_width) override;
  void Run(TRuxForm& form) override;
  void ShowModal(TRuxForm& form) override;
  void ProcessMessages() override;
  bool DarkMode() override;
  bool HighContrast() override;
  TSystemColors SystemColors() override;
  std::optional<String> ChooseFolder(TRuxForm* owner, StringView start,
                                     const TFolderDialogTexts& texts) override;
  std::unique_ptr<TRuxAeroPeek> CreateAeroPeek(TRuxForm& form) override;

  // The font of `font` at `dpi` (cached for the backend's life).
  HFONT Font(const TFont& font, int dpi);
  // The ANSI code page whose character set the fonts are made with (0: the default).
  void SetCodePage(int code_page) override { code_page_ = code_page; }
  // Runs portable code from a window procedure; an error is kept and ends the loop.
  bool Guard(const std::function<void()>& fn);
  // The form whose peer is `window`, for the loops.
  void RegisterForm(HWND window, TRuxForm* form);
  void UnregisterForm(HWND window);
  TRuxForm* FormOf(HWND window) const;
  HWND WindowOf(const TRuxForm* form) const;
  // The taskbar's own message: sent when the button was (re)created.
  UINT TaskbarButtonCreated() const { return taskbar_button_created_; }
  void AddAeroPeek(TRuxForm* form, TRuxAeroPeek* peek) { peeks_[form] = peek; }
  void RemoveAeroPeek(TRuxForm* form) { peeks_.erase(form); }
  TRuxAeroPeek* AeroPeekOf(TRuxForm* form) const;

 private:
  // Runs messages until `form` is closed (or an error was kept).
  void Loop(TRuxForm& form);
  bool Translate(MSG& msg);
  void RethrowKept();
  // The control classes and the rich edit library, at the first window: a silent run, which
  // shows none, does not pay for loading them (twice in an uninstall, once per instance).
  void LoadControls();

  bool controls_loaded_ = false;
  HMODULE rich_edit_ = nullptr;
  int code_page_ = 0;
  std::exception_ptr error_;
  std::map<std::tuple<String, int, bool, bool, int, int>, HFONT> fonts_;
  std::map<HWND, TRuxForm*> forms_;
  std::map<TRuxForm*, TRuxAeroPeek*> peeks_;
  UINT taskbar_button_created_ = 0;
};

}  // namespace nolu::ui
