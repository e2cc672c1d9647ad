// TWin32DesktopWindows: FindWindowW, WM_CLOSE with a bounded wait, the owner process's image
// path and handle, RegisterWindowMessageW.
#pragma once

#include "platform/desktop_windows.h"

namespace nolu {

class TWin32DesktopWindows : public IDesktopWindows {
 public:
  TWindowId FindTopLevelWindow(StringView class_name) override;
  uint32_t SendClose(TWindowId window, uint32_t timeout_ms) override;
  String WindowOwnerExecutable(TWindowId window) override;
  std::unique_ptr<TProcess> OpenWindowProcess(TWindowId window) override;
  uint32_t RegisterMessage(StringView name) override;
};

}  // namespace nolu
