// TFakeDesktopWindows: a table of top-level windows of "other programs" that a test sets up.
//
// Each window has a class name, the executable of its owning process and a WM_CLOSE handler:
// the handler runs on the sending thread when SendClose reaches the window and answers whether
// the window closed (the default closes it). A hung window makes SendClose time out. Registered
// message numbers are stable per name (without regard to case) and start at 0xC000, as on Windows.
#pragma once

#include <functional>
#include <mutex>
#include <vector>

#include "platform/desktop_windows.h"
#include "platform/fake/fake_hub.h"

namespace nolu {

class TFakeDesktopWindows : public IDesktopWindows {
 public:
  explicit TFakeDesktopWindows(std::shared_ptr<TFakeHub> hub);

  TWindowId FindTopLevelWindow(StringView class_name) override;
  uint32_t SendClose(TWindowId window, uint32_t timeout_ms) override;
  String WindowOwnerExecutable(TWindowId window) override;
  uint32_t WindowProcessId(TWindowId window) override;
  uint32_t RegisterMessage(StringView name) override;

  // A window of the process `process_id`; `on_close` runs for each WM_CLOSE and returns true
  // when the window closes.
  TWindowId AddWindow(StringView class_name, StringView owner_executable,
                      std::function<bool()> on_close = {}, uint32_t process_id = 0);
  void RemoveWindow(TWindowId window);
  bool WindowExists(TWindowId window);
  void SetHung(TWindowId window, bool hung);
  // Every window that received WM_CLOSE, in order.
  std::vector<TWindowId> CloseRequests();

 private:
  struct Window {
    TWindowId Id;
    String ClassName;
    String Owner;
    uint32_t ProcessId = 0;
    std::function<bool()> OnClose;
    bool Hung = false;
  };
  Window* Find(TWindowId id);

  std::shared_ptr<TFakeHub> hub_;
  std::mutex mutex_;
  std::vector<Window> windows_;
  std::vector<TWindowId> close_requests_;
  StringList messages_;
};

}  // namespace nolu
