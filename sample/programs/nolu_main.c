/* Nolu.exe of the sample product: the main window that the setup looks for by its class
   "TNoluMainForm" (to find an installation, and to close the running player before files are
   replaced). It records its parameters beside itself and ends when the window is closed. */
#include <windows.h>

#include "program_log.h"

static const wchar_t kClassName[] = L"TNoluMainForm";

static LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      RECT client;
      GetClientRect(window, &client);
      HBRUSH accent = CreateSolidBrush(RGB(222, 140, 51));
      RECT strip = client;
      strip.bottom = strip.top + 6;
      FillRect(dc, &strip, accent);
      DeleteObject(accent);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, RGB(38, 38, 38));
      DrawTextW(dc, L"Nolu 5.40\nDrop music and video files here.", -1, &client,
                DT_CENTER | DT_VCENTER | DT_NOPREFIX | DT_WORDBREAK);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      /* WM_CLOSE goes to the default handling, which destroys the window. */
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR arguments, int show) {
  (void)previous;
  (void)arguments;
  AppendLogLine(NULL, CommandLineParameters());

  WNDCLASSEXW window_class = {0};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = MainWindowProc;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  window_class.hIconSm =
      (HICON)LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                        GetSystemMetrics(SM_CYSMICON), 0);
  window_class.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
  window_class.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
  window_class.lpszClassName = kClassName;
  if (!RegisterClassExW(&window_class)) return 1;

  HWND window = CreateWindowExW(0, kClassName, L"Nolu", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 480, 320, NULL, NULL, instance, NULL);
  if (window == NULL) return 1;
  ShowWindow(window, show);
  UpdateWindow(window);

  MSG message;
  while (GetMessageW(&message, NULL, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return (int)message.wParam;
}
