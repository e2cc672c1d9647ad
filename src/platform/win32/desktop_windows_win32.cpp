#include "platform/win32/desktop_windows_win32.h"

#include <windows.h>

#include "platform/error_codes.h"
#include "platform/win32/handles.h"
#include "platform/win32/waitable_win32.h"
#include "platform/win32/win32_strings.h"

namespace nolu {
namespace {
HWND ToHwnd(TWindowId id) {
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(id.Value));
}
}  // namespace

TWindowId TWin32DesktopWindows::FindTopLevelWindow(StringView class_name) {
  const String name(class_name);
  return TWindowId{reinterpret_cast<uintptr_t>(::FindWindowW(W(name), nullptr))};
}

uint32_t TWin32DesktopWindows::SendClose(TWindowId window, uint32_t timeout_ms) {
  const HWND hwnd = ToHwnd(window);
  if (!::IsWindow(hwnd)) return kErrorInvalidWindowHandle;
  if (timeout_ms == kInfinite) {
    ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
    return kErrorSuccess;
  }
  DWORD_PTR result = 0;
  ::SetLastError(ERROR_SUCCESS);
  if (::SendMessageTimeoutW(hwnd, WM_CLOSE, 0, 0, SMTO_NORMAL, timeout_ms, &result)) {
    return kErrorSuccess;
  }
  const DWORD error = ::GetLastError();
  return error == ERROR_SUCCESS ? kErrorTimeout : error;
}

String TWin32DesktopWindows::WindowOwnerExecutable(TWindowId window) {
  DWORD process_id = 0;
  if (!::GetWindowThreadProcessId(ToHwnd(window), &process_id) || !process_id) return String();
  TKernelHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id));
  if (!process) return String();
  std::wstring buffer(32768, L'\0');
  DWORD size = static_cast<DWORD>(buffer.size());
  if (!::QueryFullProcessImageNameW(process.Get(), 0, buffer.data(), &size)) return String();
  return FromW(buffer.data(), size);
}

std::unique_ptr<TProcess> TWin32DesktopWindows::OpenWindowProcess(TWindowId window) {
  DWORD process_id = 0;
  if (!::GetWindowThreadProcessId(ToHwnd(window), &process_id) || !process_id) return nullptr;
  HANDLE process =
      ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id);
  if (!process) return nullptr;
  return std::make_unique<TWin32Process>(process);
}

uint32_t TWin32DesktopWindows::RegisterMessage(StringView name) {
  const String text(name);
  return ::RegisterWindowMessageW(W(text));
}

}  // namespace nolu
