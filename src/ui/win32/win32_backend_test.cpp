// The Win32 backend under Wine: what a program pays for the toolkit before it shows a window.
#include "ui/win32/win32_backend.h"

#include <gtest/gtest.h>
#include <richedit.h>

#include <cwctype>
#include <string>

#include "platform/platform.h"
#include "platform/win32/win32_platform.h"
#include "ui/controls/rux_application.h"
#include "ui/controls/rux_form.h"
#include "ui/controls/rux_rich_viewer.h"

namespace nolu::ui {
namespace {

bool RichEditLoaded() {
  return GetModuleHandleW(L"msftedit.dll") != nullptr;
}

// A silent run constructs the backend and never shows a window: the control library and the
// rich edit control load with the first window, which still gets every control class.
TEST(Win32BackendTest, LoadsTheControlLibrariesWithTheFirstWindowOnly) {
  TWin32Platform platform;
  PlatformScope scope(platform);
  ASSERT_FALSE(RichEditLoaded());
  TWin32Backend backend;
  EXPECT_FALSE(RichEditLoaded());
  EXPECT_EQ(GetModuleHandleW(L"comctl32.dll"), nullptr);

  TRuxApplication application(backend);
  TRuxForm form(application);
  form.SetClientSize(300, 200);
  TRuxRichViewer& viewer = form.CreateComponent<TRuxRichViewer>();
  viewer.SetParent(&form);
  form.Show();
  EXPECT_TRUE(RichEditLoaded());
  // Loaded on first use, the common controls are still the manifest's version 6, which the
  // system keeps in its side-by-side store (the version in their own resource says 5 on Wine).
  HMODULE controls = GetModuleHandleW(L"comctl32.dll");
  ASSERT_NE(controls, nullptr);
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(controls, path, MAX_PATH);
  std::wstring file(path);
  for (wchar_t& c : file)
    c = towlower(c);
  EXPECT_NE(file.find(L"\\winsxs\\"), std::wstring::npos) << "not the side-by-side copy";
  EXPECT_NE(file.find(L"common-controls_6595b64144ccf1df_6."), std::wstring::npos)
      << "not version 6";
  HWND window = backend.WindowOf(&form);
  ASSERT_NE(window, nullptr);
  HWND child = FindWindowExW(window, nullptr, MSFTEDIT_CLASS, nullptr);
  EXPECT_NE(child, nullptr) << "the rich viewer has no rich edit window";
  form.DestroyPeers();
}

}  // namespace
}  // namespace nolu::ui
