// What the fake services share to behave like one system: one lock and condition variable
// under which every fake waitable changes state and the message channel queues its work (so
// the main thread's dispatching wait wakes for either), and one numbering of windows.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/waitable.h"

namespace nolu {

struct TFakeHub {
  std::mutex mutex;
  std::condition_variable changed;
  uint64_t next_window = 0x10010;  // window ids look like small HWND values

  uint64_t NewWindowId() {
    std::lock_guard lock(mutex);
    next_window += 2;
    return next_window;
  }
};

// The state of one fake waitable object; it may outlive the object (a process goes on after
// its handle is closed).
struct TFakeSignalState {
  bool signaled = false;
  uint32_t exit_code = 0;
};

// Mixed into every fake IWaitable so that the message channel can wait for it together with
// its queue.
class TFakeWaitable {
 public:
  TFakeWaitable(std::shared_ptr<TFakeHub> hub, std::shared_ptr<TFakeSignalState> state)
      : hub_(std::move(hub)), state_(std::move(state)) {}
  virtual ~TFakeWaitable() = default;

  TFakeHub& Hub() const { return *hub_; }
  // Call with the hub's mutex held.
  bool SignaledLocked() const { return state_->signaled; }
  // Blocks without dispatching.
  bool WaitSignal(uint32_t timeout_ms) {
    std::unique_lock lock(hub_->mutex);
    auto done = [&] { return state_->signaled; };
    if (timeout_ms == kInfinite) {
      hub_->changed.wait(lock, done);
      return true;
    }
    return hub_->changed.wait_for(lock, std::chrono::milliseconds(timeout_ms), done);
  }
  static void Signal(TFakeHub& hub, TFakeSignalState& state, bool signaled) {
    {
      std::lock_guard lock(hub.mutex);
      state.signaled = signaled;
    }
    hub.changed.notify_all();
  }

 protected:
  std::shared_ptr<TFakeHub> hub_;
  std::shared_ptr<TFakeSignalState> state_;
};

}  // namespace nolu
