// The Win32 message box under Wine, answered by a helper thread that finds the dialog and
// presses a button, as a user would.
#include "platform/win32/message_box_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

namespace nolu {
namespace {

TEST(Win32MessageBoxTest, ReturnsTheButtonThatWasPressed) {
  TWin32MessageBox boxes;
  std::thread user([] {
    HWND dialog = nullptr;
    // The box appears once the main thread has built it; look until it is there.
    while (!(dialog = ::FindWindowW(L"#32770", L"Nolu question")))
      ::Sleep(10);
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDIGNORE, BN_CLICKED), 0);
  });
  const int answer =
      boxes.ShowMessageBox(u"C:\\Nolu\\Nolu.exe cannot be written.", u"Nolu question",
                           kMbAbortRetryIgnore | kMbIconWarning | kMbDefButton2);
  user.join();
  EXPECT_EQ(answer, kIdIgnore);
}

}  // namespace
}  // namespace nolu
