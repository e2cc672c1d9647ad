// Setup.exe: the Win32 start-up around the portable program entry (core/setup_entry.h).
#include <objbase.h>
#include <windows.h>

#include "core/setup_entry.h"
#include "platform/platform.h"
#include "platform/win32/win32_platform.h"
#include "product/pages/product_pages.h"
#include "product/product_info_nolu.h"
#include "ui/pages/setup_page_class_table.h"
#include "ui/win32/win32_backend.h"
#include "ui/wizard/setup_wizard_user_interface.h"

namespace {

// The product this build installs.
constexpr nolu::TProductInfoClass kProductInfoClass = &nolu::CreateProductInfoNolu;

// Initialises COM for the main thread (shell links, the shell's execute) for the program's life.
class TComScope {
 public:
  TComScope() : initialized_(SUCCEEDED(::CoInitialize(nullptr))) {}
  ~TComScope() {
    if (initialized_) ::CoUninitialize();
  }
  TComScope(const TComScope&) = delete;
  TComScope& operator=(const TComScope&) = delete;

 private:
  bool initialized_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Before anything else: a DLL planted beside Setup.exe (in a downloads or temporary folder)
  // must never be loaded in place of a system one.
  ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  TComScope com;
  nolu::TWin32Platform platform;
  nolu::PlatformScope scope(platform);
  nolu::ui::TWin32Backend backend;
  nolu::ui::TSetupPageClassTable pages;
  nolu::ui::RegisterStandardPages(pages);
  nolu::ui::RegisterProductPages(pages);
  nolu::ui::TSetupWizardUserInterface ui(backend, std::move(pages));
  return nolu::RunSetupProgram(kProductInfoClass, ui);
}
