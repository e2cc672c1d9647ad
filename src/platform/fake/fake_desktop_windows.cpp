#include "platform/fake/fake_desktop_windows.h"

#include <optional>

#include "base/locale.h"
#include "platform/error_codes.h"

namespace nolu {

// Guarded by the hub's mutex, like every fake waitable's state.
struct TFakeDesktopWindows::ProcessState {
  std::shared_ptr<TFakeSignalState> signal = std::make_shared<TFakeSignalState>();
  uint32_t linger_ms = 0;            // after the window closed; kInfinite: never ends
  std::optional<uint64_t> end_tick;  // known once the window closed with a finite linger
};

class TFakeDesktopWindows::Process : public TProcess, public TFakeWaitable {
 public:
  Process(std::shared_ptr<TFakeHub> hub, std::shared_ptr<ProcessState> state, TFakeSystem& system)
      : TFakeWaitable(hub, state->signal), state_(std::move(state)), system_(system) {}

  bool Wait(uint32_t timeout_ms) override {
    {
      std::lock_guard lock(Hub().mutex);
      if (state_->signal->signaled) return true;
      const uint64_t now = system_.TickCount();
      if (state_->end_tick && (timeout_ms == kInfinite || *state_->end_tick <= now + timeout_ms)) {
        if (*state_->end_tick > now) system_.AdvanceClock(uint32_t(*state_->end_tick - now));
        state_->signal->signaled = true;
        return true;
      }
      if (timeout_ms != kInfinite) {
        system_.AdvanceClock(timeout_ms);
        return false;
      }
    }
    // Without a known end only another thread can end it (by closing the window).
    return WaitSignal(kInfinite);
  }

  bool ExitCode(uint32_t& code) override {
    std::lock_guard lock(Hub().mutex);
    if (!state_->signal->signaled) return false;
    code = 0;
    return true;
  }

 private:
  std::shared_ptr<ProcessState> state_;
  TFakeSystem& system_;
};

TFakeDesktopWindows::TFakeDesktopWindows(std::shared_ptr<TFakeHub> hub, TFakeSystem& system)
    : hub_(std::move(hub)), system_(system) {}

TFakeDesktopWindows::Window* TFakeDesktopWindows::Find(TWindowId id) {
  for (Window& w : windows_) {
    if (w.Id == id) return &w;
  }
  return nullptr;
}

TWindowId TFakeDesktopWindows::FindTopLevelWindow(StringView class_name) {
  std::lock_guard lock(mutex_);
  for (const Window& w : windows_) {
    if (!w.ClassName.empty() && EqualsIgnoreCase(w.ClassName, class_name)) return w.Id;
  }
  return {};
}

uint32_t TFakeDesktopWindows::SendClose(TWindowId window, uint32_t /*timeout_ms*/) {
  std::function<bool()> on_close;
  {
    std::lock_guard lock(mutex_);
    Window* w = Find(window);
    if (!w) return kErrorInvalidWindowHandle;
    close_requests_.push_back(window);
    if (w->Hung) return kErrorTimeout;
    on_close = w->OnClose;
  }
  // The handler runs without the lock: it may look at the windows itself.
  const bool closes = on_close ? on_close() : true;
  if (closes) RemoveWindow(window);
  return kErrorSuccess;
}

String TFakeDesktopWindows::WindowOwnerExecutable(TWindowId window) {
  std::lock_guard lock(mutex_);
  const Window* w = Find(window);
  return w ? w->Owner : String();
}

std::unique_ptr<TProcess> TFakeDesktopWindows::OpenWindowProcess(TWindowId window) {
  std::lock_guard lock(mutex_);
  const Window* w = Find(window);
  if (!w || w->ProcessDenied) return nullptr;
  return std::make_unique<Process>(hub_, w->Process, system_);
}

uint32_t TFakeDesktopWindows::RegisterMessage(StringView name) {
  std::lock_guard lock(mutex_);
  if (name.empty()) return 0;
  for (size_t i = 0; i < messages_.size(); ++i) {
    if (EqualsIgnoreCase(messages_[i], name)) return static_cast<uint32_t>(0xC000 + i);
  }
  messages_.emplace_back(name);
  return static_cast<uint32_t>(0xC000 + messages_.size() - 1);
}

void TFakeDesktopWindows::Add(TWindowId id, StringView class_name, StringView owner_executable,
                              std::function<bool()> on_close) {
  std::lock_guard lock(mutex_);
  windows_.push_back({id, String(class_name), String(owner_executable), std::move(on_close), false,
                      false, std::make_shared<ProcessState>()});
}

TWindowId TFakeDesktopWindows::AddWindow(StringView class_name, StringView owner_executable,
                                         std::function<bool()> on_close) {
  const TWindowId id{hub_->NewWindowId()};
  Add(id, class_name, owner_executable, std::move(on_close));
  return id;
}

void TFakeDesktopWindows::AdoptWindow(TWindowId window, StringView owner_executable) {
  Add(window, u"", owner_executable, {});
}

void TFakeDesktopWindows::RemoveWindow(TWindowId window) {
  std::shared_ptr<ProcessState> process;
  {
    std::lock_guard lock(mutex_);
    if (Window* w = Find(window)) process = w->Process;
    std::erase_if(windows_, [&](const Window& w) { return w.Id == window; });
  }
  if (!process) return;
  {
    std::lock_guard lock(hub_->mutex);
    if (process->linger_ms == kInfinite) return;
    if (process->linger_ms == 0) {
      process->signal->signaled = true;
    } else {
      process->end_tick = system_.TickCount() + process->linger_ms;
    }
  }
  hub_->changed.notify_all();
}

bool TFakeDesktopWindows::WindowExists(TWindowId window) {
  std::lock_guard lock(mutex_);
  return Find(window) != nullptr;
}

void TFakeDesktopWindows::SetHung(TWindowId window, bool hung) {
  std::lock_guard lock(mutex_);
  if (Window* w = Find(window)) w->Hung = hung;
}

void TFakeDesktopWindows::SetProcessLinger(TWindowId window, uint32_t linger_ms) {
  std::lock_guard lock(mutex_);
  if (Window* w = Find(window)) {
    std::lock_guard hub_lock(hub_->mutex);
    w->Process->linger_ms = linger_ms;
  }
}

void TFakeDesktopWindows::DenyProcessAccess(TWindowId window) {
  std::lock_guard lock(mutex_);
  if (Window* w = Find(window)) w->ProcessDenied = true;
}

std::vector<TWindowId> TFakeDesktopWindows::CloseRequests() {
  std::lock_guard lock(mutex_);
  return close_requests_;
}

}  // namespace nolu
