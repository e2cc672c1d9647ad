// IMessageChannel: how worker threads and other instances of the program reach the main
// thread, and how the main thread waits without leaving them stuck.
//
// The main thread is the thread that created the platform instance. It owns message-only
// windows (TMessageWindow); a handler runs on the main thread for every message sent to one.
// Senders on other threads (or in another process, through the window's id) block until the
// handler has returned: Win32 uses SendMessageW with WM_USER or WM_COPYDATA, the fake a queue
// and a condition variable. Because senders wait for the main thread, the main thread must
// never block on a worker without dispatching: it waits through WaitDispatching, which serves
// pending sends and Synchronize requests while it waits.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "base/text.h"
#include "platform/desktop_windows.h"
#include "platform/waitable.h"

namespace nolu {

// One message delivered to a message-only window.
struct TChannelMessage {
  enum class Kind {
    kValue,  // WM_USER: wParam = Code, lParam = Param
    kText,   // WM_COPYDATA: wParam = Sender, dwData = Code, the data is Text in UTF-16
  };
  Kind MessageKind = Kind::kValue;
  uint64_t Code = 0;
  int64_t Param = 0;
  String Text;
  TWindowId Sender;
};

// The handler's result becomes the result of the send.
using MessageHandler = std::function<int64_t(const TChannelMessage&)>;

// A message-only window of the main thread; destroying the object destroys the window.
class TMessageWindow {
 public:
  virtual ~TMessageWindow() = default;
  virtual TWindowId Id() const = 0;
};

class IMessageChannel {
 public:
  virtual ~IMessageChannel() = default;

  // Main thread only: a message-only window of the window class `class_name` whose messages
  // go to `handler`. Errors thrown by the handler are swallowed (a window procedure cannot
  // pass them on) and make the send's result 0.
  virtual std::unique_ptr<TMessageWindow> CreateMessageWindow(StringView class_name,
                                                              MessageHandler handler) = 0;

  // From any thread: WM_USER with (code, param) to `window`; returns when the handler has run,
  // with its result. On the main thread the handler runs directly. kErrorInvalidWindowHandle
  // in `error` when the window does not exist.
  virtual int64_t SendValue(TWindowId window, uint32_t code, int64_t param,
                            uint32_t* error = nullptr) = 0;
  // From any thread: WM_COPYDATA with dwData = `code`, the UTF-16 units of `text` without a
  // terminating zero (byte count 2 × length) and wParam = `sender`. A window of another
  // process gets at most `timeout_ms` (kErrorTimeout in `error` then, also when its program
  // hangs or ends): a send without a limit would let that program stop this one.
  virtual int64_t SendText(TWindowId window, uint64_t code, StringView text, TWindowId sender,
                           uint32_t* error = nullptr, uint32_t timeout_ms = kInfinite) = 0;

  // Runs `fn` on the main thread and waits for it (directly when called on the main thread).
  // An error thrown by `fn` is thrown again in the caller's thread.
  virtual void Synchronize(const std::function<void()>& fn) = 0;

  // Main thread: waits for `object` while serving sends to the main thread's windows and
  // Synchronize requests; true when the object was signalled within `timeout_ms`.
  virtual bool WaitDispatching(IWaitable& object, uint32_t timeout_ms = kInfinite) = 0;
  // Main thread: serves the sends and Synchronize requests that are pending now.
  virtual void DispatchPending() = 0;

  // A new manual-reset event, for example the one a worker sets as its last step.
  virtual std::unique_ptr<TEvent> NewEvent() = 0;

  // True on the main thread.
  virtual bool IsMainThread() = 0;
  // Main thread: true while a handler runs for a send or a Synchronize request of another
  // thread. That thread stays blocked until the handler has returned, so waiting for it from
  // inside the handler (or from anything the handler calls) would never end.
  virtual bool ServesBlockedSender() = 0;
};

}  // namespace nolu
