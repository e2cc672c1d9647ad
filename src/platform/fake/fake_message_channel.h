// TFakeMessageChannel: the main-thread message channel with a queue and a condition variable.
//
// The main thread is the thread that created the channel (the test's thread). Sends and
// Synchronize requests from other threads wait in a queue until the main thread serves them in
// WaitDispatching or DispatchPending, exactly the contract that makes a main thread that
// blocks on a worker without dispatching hang, in tests as on Windows. Worker threads are
// real threads. WaitDispatching accepts the fake's own waitables (events, processes).
//
// When the channel ends, waiting senders are released: sends report
// kErrorInvalidWindowHandle and Synchronize raises EInvalidOperation. A text send with a time
// limit that the main thread does not serve in time is withdrawn and reports kErrorTimeout.
#pragma once

#include <deque>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <thread>

#include "platform/fake/fake_hub.h"
#include "platform/message_channel.h"

namespace nolu {

class TFakeMessageChannel : public IMessageChannel {
 public:
  explicit TFakeMessageChannel(std::shared_ptr<TFakeHub> hub);
  ~TFakeMessageChannel() override;

  std::unique_ptr<TMessageWindow> CreateMessageWindow(StringView class_name,
                                                      MessageHandler handler) override;
  int64_t SendValue(TWindowId window, uint32_t code, int64_t param,
                    uint32_t* error = nullptr) override;
  int64_t SendText(TWindowId window, uint64_t code, StringView text, TWindowId sender,
                   uint32_t* error = nullptr, uint32_t timeout_ms = kInfinite) override;
  void Synchronize(const std::function<void()>& fn) override;
  bool WaitDispatching(IWaitable& object, uint32_t timeout_ms = kInfinite) override;
  void DispatchPending() override;
  std::unique_ptr<TEvent> NewEvent() override;
  bool IsMainThread() override;
  bool ServesBlockedSender() override;

  // (The defaults repeat the interface's, for calls through this class.)

  // Requests from other threads served on the main thread so far, and waiting now.
  int DispatchedCount();
  int PendingCount();
  // The class name of a message window of this channel; empty when there is none.
  String WindowClass(TWindowId window);

 private:
  struct Pending;
  struct Entry {
    String class_name;
    MessageHandler handler;
  };
  class Window;

  int64_t Send(TWindowId window, TChannelMessage message, uint32_t* error,
               uint32_t timeout_ms = kInfinite);
  // Queues the request and waits for the main thread, at most `timeout_ms`; the error when the
  // channel ended first or the time ran out (the request is then withdrawn).
  uint32_t Enqueue(const std::shared_ptr<Pending>& pending, uint32_t timeout_ms = kInfinite);
  void DispatchLocked(std::unique_lock<std::mutex>& lock);

  std::shared_ptr<TFakeHub> hub_;
  std::thread::id main_thread_;
  // Guarded by the hub's mutex.
  std::deque<std::shared_ptr<Pending>> queue_;
  std::map<uint64_t, Entry> windows_;
  bool closed_ = false;
  int dispatched_ = 0;
  // How deeply the main thread is inside requests of other threads (main thread only).
  int serving_depth_ = 0;
};

}  // namespace nolu
