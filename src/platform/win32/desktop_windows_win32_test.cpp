// FindWindowW and WM_CLOSE across windows of the test process under Wine; one window lives on
// a thread of its own, as another program's window would.
#include "platform/win32/desktop_windows_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "base/locale.h"
#include "base/path.h"
#include "platform/error_codes.h"
#include "platform/win32/handles.h"

namespace nolu {
namespace {

std::atomic<int> g_closes{0};
std::atomic<DWORD> g_test_thread{0};

LRESULT CALLBACK TestWindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_CLOSE) {
    ++g_closes;
    ::DestroyWindow(hwnd);
    return 0;
  }
  // The helper thread's message loop ends with its window.
  if (msg == WM_DESTROY && ::GetCurrentThreadId() != g_test_thread) ::PostQuitMessage(0);
  return ::DefWindowProcW(hwnd, msg, wparam, lparam);
}

HWND CreateTestWindow(const wchar_t* class_name) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = TestWindowProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = class_name;
  ::RegisterClassExW(&wc);
  return ::CreateWindowExW(0, class_name, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                           wc.hInstance, nullptr);
}

TEST(Win32DesktopWindowsTest, FindsAndClosesWindowsOfAnotherThread) {
  TWin32DesktopWindows windows;
  g_closes = 0;
  g_test_thread = ::GetCurrentThreadId();
  // The first window belongs to a thread with its own message loop.
  TKernelHandle ready(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::thread owner([&] {
    CreateTestWindow(L"TNoluMainForm");
    ::SetEvent(ready.Get());
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0)
      ::DispatchMessageW(&msg);
  });
  ::WaitForSingleObject(ready.Get(), INFINITE);
  const HWND second = CreateTestWindow(L"TNoluLibMainForm");
  ASSERT_TRUE(second);

  const TWindowId main = windows.FindTopLevelWindow(u"TNoluMainForm");
  const TWindowId lib = windows.FindTopLevelWindow(u"TNoluLibMainForm");
  ASSERT_TRUE(main);
  ASSERT_TRUE(lib);
  EXPECT_FALSE(windows.FindTopLevelWindow(u"TNolu3MainWindow"));
  EXPECT_TRUE(EqualsIgnoreCase(ExtractFileName(windows.WindowOwnerExecutable(main)),
                               u"platform_win32_tests.exe"))
      << StringToUtf8(windows.WindowOwnerExecutable(main));

  EXPECT_EQ(windows.SendClose(main, kInfinite), kErrorSuccess);
  owner.join();
  EXPECT_FALSE(windows.FindTopLevelWindow(u"TNoluMainForm"));
  EXPECT_TRUE(windows.FindTopLevelWindow(u"TNoluLibMainForm"));  // the other one stays
  EXPECT_EQ(windows.SendClose(lib, 60000), kErrorSuccess);
  EXPECT_FALSE(windows.FindTopLevelWindow(u"TNoluLibMainForm"));
  EXPECT_EQ(g_closes, 2);
  EXPECT_EQ(windows.SendClose(lib, kInfinite), kErrorInvalidWindowHandle);
}

TEST(Win32DesktopWindowsTest, OpensTheProcessThatOwnsAWindow) {
  TWin32DesktopWindows windows;
  g_test_thread = ::GetCurrentThreadId();
  const HWND hwnd = CreateTestWindow(L"TNoluVTEForm");
  ASSERT_TRUE(hwnd);
  const TWindowId window = windows.FindTopLevelWindow(u"TNoluVTEForm");
  std::unique_ptr<TProcess> process = windows.OpenWindowProcess(window);
  ASSERT_TRUE(process);
  // The window is ours, so its process is this one: it runs.
  EXPECT_FALSE(process->Wait(0));
  uint32_t code = 0;
  EXPECT_FALSE(process->ExitCode(code));
  ::DestroyWindow(hwnd);
  EXPECT_FALSE(windows.OpenWindowProcess(window));
  // The handle opened before outlives the window.
  EXPECT_FALSE(process->Wait(0));
}

TEST(Win32DesktopWindowsTest, RegisteredMessagesAreSharedByName) {
  TWin32DesktopWindows windows;
  const uint32_t token = windows.RegisterMessage(u"SpawnToken");
  EXPECT_GE(token, 0xC000u);
  EXPECT_EQ(windows.RegisterMessage(u"spawntoken"), token);
  EXPECT_NE(windows.RegisterMessage(u"NoluOther"), token);
}

}  // namespace
}  // namespace nolu
