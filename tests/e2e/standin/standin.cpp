// nolu_standin: a small GUI program that stands in for the programs the end-to-end tests
// drive, so the harness and the driver are proven before those programs exist.
//
// Every start appends "cmdline <GetCommandLineW()>" and "cwd <current folder>" to
// "<exe folder>\<exe name>.log" (UTF-8, one line each), so a test can compare the command
// line the program received byte for byte. Then:
//   /MSGBOX=<text>   shows a message box captioned "Setup" with that text (error icon;
//                    /BUTTONS=RETRYCANCEL or ABORTRETRYIGNORE for other button sets), and
//                    exits with /EXIT=<code>, or else with the number of the pressed button
//   /WINDOW          shows a window "Nolu Stand-in" (class "TNoluStandinForm") with a check
//                    box, an edit field, a disabled Help button and a Close button; when
//                    it closes it appends
//                    "closed checked=<0|1> text=<edit text>" to the log and exits with
//                    10 + the check box state; /CLASS=<name> registers the window under
//                    another class (a program of the product, as the setup looks for it),
//                    /KEEPOPEN refuses WM_CLOSE and appends "close refused" for each one
//                    (its Close button still ends it)
//   otherwise        exits at once with /EXIT=<code> (0 without it)
#include <windows.h>
// The shell headers build on <windows.h>.
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr wchar_t kWindowClass[] = L"TNoluStandinForm";
constexpr wchar_t kWindowTitle[] = L"Nolu Stand-in";
constexpr int kCloseId = IDCANCEL;
constexpr int kCheckId = 101;
constexpr int kEditId = 102;
constexpr int kLabelId = 103;
constexpr int kHelpId = 104;

std::wstring LogPath() {
  std::wstring path(32768, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  const size_t dot = path.find_last_of(L'.');
  if (dot != std::wstring::npos && dot > path.find_last_of(L'\\')) path.resize(dot);
  return path + L".log";
}

void AppendLog(const std::wstring& line) {
  const std::wstring text = line + L"\n";
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size,
                      nullptr, nullptr);
  HANDLE file = CreateFileW(LogPath().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
  CloseHandle(file);
}

// The value of "/NAME=value" among the arguments, or nothing.
bool FindSwitch(int argc, wchar_t** argv, const wchar_t* name, std::wstring* value) {
  const size_t length = std::wcslen(name);
  for (int i = 1; i < argc; ++i) {
    if (argv[i][0] != L'/' || _wcsnicmp(argv[i] + 1, name, length) != 0) continue;
    const wchar_t* rest = argv[i] + 1 + length;
    if (*rest == L'\0') {
      if (value) value->clear();
      return true;
    }
    if (*rest == L'=') {
      if (value) *value = rest + 1;
      return true;
    }
  }
  return false;
}

struct WindowState {
  bool keep_open = false;
  HWND check = nullptr;
  HWND edit = nullptr;
  int exit_code = 0;
};

void RecordAndQuit(HWND window, WindowState* state) {
  const bool checked = SendMessageW(state->check, BM_GETCHECK, 0, 0) == BST_CHECKED;
  wchar_t text[512] = {};
  GetWindowTextW(state->edit, text, 512);
  AppendLog(std::wstring(L"closed checked=") + (checked ? L"1" : L"0") + L" text=" + text);
  state->exit_code = 10 + (checked ? 1 : 0);
  DestroyWindow(window);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* state = reinterpret_cast<WindowState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_NCCREATE: {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
      break;
    }
    case WM_CREATE: {
      const HINSTANCE instance = reinterpret_cast<CREATESTRUCTW*>(lparam)->hInstance;
      const auto child = [&](const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y,
                             int w, int h, int id) {
        HWND control =
            CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, window,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        SendMessageW(control, WM_SETFONT,
                     reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
        return control;
      };
      child(L"STATIC", L"A stand-in window for the driver tests.", 0, 16, 12, 320, 20, kLabelId);
      state->check = child(L"BUTTON", L"&Start Nolu after setup", BS_AUTOCHECKBOX | WS_TABSTOP, 16,
                           40, 240, 22, kCheckId);
      state->edit = child(L"EDIT", L"C:\\Program Files (x86)\\Nolu\\",
                          WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 16, 70, 320, 24, kEditId);
      child(L"BUTTON", L"&Help", WS_DISABLED | WS_TABSTOP, 168, 110, 80, 28, kHelpId);
      child(L"BUTTON", L"&Close", BS_DEFPUSHBUTTON | WS_TABSTOP, 256, 110, 80, 28, kCloseId);
      return 0;
    }
    case WM_COMMAND:
      if (LOWORD(wparam) == kCloseId && HIWORD(wparam) == BN_CLICKED) {
        RecordAndQuit(window, state);
        return 0;
      }
      break;
    case WM_CLOSE:
      if (state->keep_open) {
        AppendLog(L"close refused");
        return 0;
      }
      RecordAndQuit(window, state);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

int ShowWindowAndWait(HINSTANCE instance, const std::wstring& window_class, bool keep_open) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = window_class.c_str();
  RegisterClassExW(&wc);
  WindowState state;
  state.keep_open = keep_open;
  HWND window = CreateWindowExW(0, window_class.c_str(), kWindowTitle,
                                WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 100, 100,
                                368, 190, nullptr, nullptr, instance, &state);
  if (!window) return 3;
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageW(window, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return state.exit_code;
}

UINT MessageBoxButtons(int argc, wchar_t** argv) {
  std::wstring buttons;
  if (!FindSwitch(argc, argv, L"BUTTONS", &buttons)) return MB_OK;
  if (_wcsicmp(buttons.c_str(), L"RETRYCANCEL") == 0) return MB_RETRYCANCEL;
  if (_wcsicmp(buttons.c_str(), L"ABORTRETRYIGNORE") == 0) return MB_ABORTRETRYIGNORE;
  if (_wcsicmp(buttons.c_str(), L"YESNO") == 0) return MB_YESNO;
  return MB_OK;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  AppendLog(std::wstring(L"cmdline ") + GetCommandLineW());
  std::wstring cwd(32768, L'\0');
  cwd.resize(GetCurrentDirectoryW(static_cast<DWORD>(cwd.size()), cwd.data()));
  AppendLog(L"cwd " + cwd);
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::wstring exit_text;
  const bool has_exit = FindSwitch(argc, argv, L"EXIT", &exit_text);
  const int exit_code =
      has_exit ? static_cast<int>(std::wcstoul(exit_text.c_str(), nullptr, 10)) : 0;

  int result = exit_code;
  std::wstring text;
  if (FindSwitch(argc, argv, L"MSGBOX", &text)) {
    const int pressed =
        MessageBoxW(nullptr, text.c_str(), L"Setup", MessageBoxButtons(argc, argv) | MB_ICONERROR);
    result = has_exit ? exit_code : pressed;
  } else if (FindSwitch(argc, argv, L"WINDOW", nullptr)) {
    std::wstring window_class;
    if (!FindSwitch(argc, argv, L"CLASS", &window_class) || window_class.empty()) {
      window_class = kWindowClass;
    }
    result =
        ShowWindowAndWait(instance, window_class, FindSwitch(argc, argv, L"KEEPOPEN", nullptr));
  }
  LocalFree(argv);
  return result;
}
