// TFakeDesktopWindows: a table of top-level windows of "other programs" that a test sets up.
//
// Each window has a class name, the executable of its owning process and a WM_CLOSE handler:
// the handler runs on the sending thread when SendClose reaches the window and answers whether
// the window closed (the default closes it). A hung window makes SendClose time out. Registered
// message numbers are stable per name (without regard to case) and start at 0xC000, as on Windows.
//
// Each window also has a process of its own (OpenWindowProcess), which ends when the window
// closes: at once, or a set time later on the fake system's clock, or never. A timed wait for
// it plays out on that clock (TFakeSystem::AdvanceClock) instead of taking real time, so a test
// sees what a wait would have cost: a window that stays open costs the whole timeout.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/desktop_windows.h"
#include "platform/fake/fake_hub.h"
#include "platform/fake/fake_system.h"

namespace nolu {

class TFakeDesktopWindows : public IDesktopWindows {
 public:
  TFakeDesktopWindows(std::shared_ptr<TFakeHub> hub, TFakeSystem& system);

  TWindowId FindTopLevelWindow(StringView class_name) override;
  uint32_t SendClose(TWindowId window, uint32_t timeout_ms) override;
  String WindowOwnerExecutable(TWindowId window) override;
  std::unique_ptr<TProcess> OpenWindowProcess(TWindowId window) override;
  uint32_t RegisterMessage(StringView name) override;

  // A window; `on_close` runs for each WM_CLOSE and returns true when the window closes.
  TWindowId AddWindow(StringView class_name, StringView owner_executable,
                      std::function<bool()> on_close = {});
  // Makes an existing window id (a message window of the channel, say, playing another
  // instance's) a window of another process, so that OpenWindowProcess finds that process.
  // It has no class; RemoveWindow ends its process.
  void AdoptWindow(TWindowId window, StringView owner_executable);
  // Closes the window (its process ends as set).
  void RemoveWindow(TWindowId window);
  bool WindowExists(TWindowId window);
  void SetHung(TWindowId window, bool hung);
  // The window's process ends `linger_ms` after the window closed (kInfinite: never).
  void SetProcessLinger(TWindowId window, uint32_t linger_ms);
  // OpenWindowProcess gives none for the window (a process we may not open).
  void DenyProcessAccess(TWindowId window);
  // Every window that received WM_CLOSE, in order.
  std::vector<TWindowId> CloseRequests();

 private:
  struct ProcessState;
  class Process;
  struct Window {
    TWindowId Id;
    String ClassName;
    String Owner;
    std::function<bool()> OnClose;
    bool Hung = false;
    bool ProcessDenied = false;
    std::shared_ptr<ProcessState> Process;
  };
  Window* Find(TWindowId id);
  void Add(TWindowId id, StringView class_name, StringView owner_executable,
           std::function<bool()> on_close);

  std::shared_ptr<TFakeHub> hub_;
  TFakeSystem& system_;
  std::mutex mutex_;
  std::vector<Window> windows_;
  std::vector<TWindowId> close_requests_;
  StringList messages_;
};

}  // namespace nolu
