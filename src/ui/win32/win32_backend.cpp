#include "ui/win32/win32_backend.h"

#include <commctrl.h>
#include <objbase.h>

#include "ui/controls/rux_aero_peek.h"
#include "ui/win32/gdi_canvas.h"
#include "ui/win32/win32_aero_peek.h"
#include "ui/win32/win32_peers.h"

namespace nolu::ui {

TWin32Backend::TWin32Backend() {
  taskbar_button_created_ = RegisterWindowMessageW(L"TaskbarButtonCreated");
}

TWin32Backend::~TWin32Backend() {
  for (auto& [key, font] : fonts_)
    DeleteObject(font);
  if (rich_edit_) FreeLibrary(rich_edit_);
}

void TWin32Backend::LoadControls() {
  if (controls_loaded_) return;
  controls_loaded_ = true;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS |
                                                     ICC_LINK_CLASS | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  // From System32 only (the program's DLL search is limited to it at start-up).
  rich_edit_ = LoadLibraryExW(L"msftedit.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

std::unique_ptr<IControlPeer> TWin32Backend::CreatePeer(TRuxCustomControl& control) {
  LoadControls();
  return MakeWin32Peer(*this, control);
}

HFONT TWin32Backend::Font(const TFont& font, int dpi) {
  const auto key =
      std::make_tuple(font.Name, font.Size, font.Bold, font.Underline, dpi, code_page_);
  HFONT& handle = fonts_[key];
  if (handle) return handle;
  LOGFONTW log{};
  log.lfHeight = -MulDiv(font.Size, dpi, 72);
  log.lfWeight = font.Bold ? FW_BOLD : FW_NORMAL;
  log.lfUnderline = font.Underline;
  log.lfCharSet = DEFAULT_CHARSET;
  // The language's code page decides the character set of the fonts where it names one.
  CHARSETINFO charset{};
  if (code_page_ > 0 &&
      TranslateCharsetInfo(reinterpret_cast<DWORD*>(static_cast<uintptr_t>(code_page_)), &charset,
                           TCI_SRCCODEPAGE)) {
    log.lfCharSet = static_cast<BYTE>(charset.ciCharset);
  }
  log.lfQuality = CLEARTYPE_QUALITY;
  const std::wstring name(font.Name.begin(), font.Name.end());
  lstrcpynW(log.lfFaceName, name.c_str(), LF_FACESIZE);
  handle = CreateFontIndirectW(&log);
  return handle;
}

TSize TWin32Backend::MeasureText(StringView text, const TFont& font, int dpi, int max_width) {
  HDC screen = GetDC(nullptr);
  const TSize size = GdiTextSize(screen, Font(font, dpi), text, max_width);
  ReleaseDC(nullptr, screen);
  return size;
}

bool TWin32Backend::Guard(const std::function<void()>& fn) {
  if (error_) return false;
  try {
    fn();
    return true;
  } catch (...) {
    error_ = std::current_exception();
    PostQuitMessage(1);
    return true;
  }
}

void TWin32Backend::RethrowKept() {
  if (error_) {
    std::exception_ptr error = error_;
    error_ = nullptr;
    std::rethrow_exception(error);
  }
}

void TWin32Backend::RegisterForm(HWND window, TRuxForm* form) {
  forms_[window] = form;
}

void TWin32Backend::UnregisterForm(HWND window) {
  forms_.erase(window);
}

TRuxForm* TWin32Backend::FormOf(HWND window) const {
  auto it = forms_.find(window);
  return it == forms_.end() ? nullptr : it->second;
}

HWND TWin32Backend::WindowOf(const TRuxForm* form) const {
  for (const auto& [window, f] : forms_)
    if (f == form) return window;
  return nullptr;
}

TRuxAeroPeek* TWin32Backend::AeroPeekOf(TRuxForm* form) const {
  auto it = peeks_.find(form);
  return it == peeks_.end() ? nullptr : it->second;
}

bool TWin32Backend::Translate(MSG& msg) {
  // The dialog manager gives our forms Tab, the arrow keys of radio groups, access keys,
  // Enter for the default button and Escape.
  HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  if (root && FormOf(root)) return IsDialogMessageW(root, &msg) != 0;
  return false;
}

void TWin32Backend::Loop(TRuxForm& form) {
  MSG msg;
  while (!form.Closed() && !error_) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop outside this one
      break;
    }
    if (got < 0) break;
    if (!Translate(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

void TWin32Backend::Run(TRuxForm& form) {
  Loop(form);
  RethrowKept();
}

void TWin32Backend::ShowModal(TRuxForm& form) {
  HWND owner = form.OwnerForm() ? WindowOf(form.OwnerForm()) : nullptr;
  if (owner) EnableWindow(owner, FALSE);
  Loop(form);
  if (owner) {
    // Enabled before the box goes, so that activation returns to it.
    EnableWindow(owner, TRUE);
    SetActiveWindow(owner);
  }
  form.DestroyPeers();
  RethrowKept();
}

void TWin32Backend::ProcessMessages() {
  MSG msg;
  while (!error_ && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (!Translate(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

bool TWin32Backend::DarkMode() {
  if (HighContrast()) return false;
  return Win32UserDword(L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
                        L"AppsUseLightTheme", 1) == 0;
}

bool TWin32Backend::HighContrast() {
  HIGHCONTRASTW contrast{sizeof contrast, 0, nullptr};
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

TSystemColors TWin32Backend::SystemColors() {
  auto color = [](int index) { return TColor::FromColorRef(GetSysColor(index)); };
  TSystemColors colors;
  colors.Window = color(COLOR_WINDOW);
  colors.WindowText = color(COLOR_WINDOWTEXT);
  colors.ButtonFace = color(COLOR_BTNFACE);
  colors.ButtonText = color(COLOR_BTNTEXT);
  colors.Highlight = color(COLOR_HIGHLIGHT);
  colors.HighlightText = color(COLOR_HIGHLIGHTTEXT);
  colors.GrayText = color(COLOR_GRAYTEXT);
  colors.HotLight = color(COLOR_HOTLIGHT);
  return colors;
}

std::unique_ptr<TRuxAeroPeek> TWin32Backend::CreateAeroPeek(TRuxForm& form) {
  return std::make_unique<TWin32AeroPeek>(*this, form);
}

}  // namespace nolu::ui
