// TWin32MessageChannel: message-only windows of the main thread, SendMessageW with WM_USER and
// WM_COPYDATA, Synchronize through a sent message to the channel's own message-only window,
// and waits with MsgWaitForMultipleObjectsEx that serve sent messages while they wait.
//
// Any program on the desktop can send any message to any window. So a Synchronize request
// travels in this object, not in the message: the message only says "serve the queue", and a
// message that someone else sent at most serves a request a little early.
#pragma once

#include <windows.h>

#include <deque>
#include <exception>
#include <mutex>

#include "platform/message_channel.h"
#include "platform/win32/handles.h"

namespace nolu {

class TWin32MessageChannel : public IMessageChannel {
 public:
  // The private message that tells the channel's window (of this class) to serve the queued
  // Synchronize requests.
  static constexpr UINT kSyncMessage = WM_APP + 0x4E4F;
  static constexpr wchar_t kSyncClass[] = L"TNoluPlatformSync";

  // On the main thread.
  TWin32MessageChannel();
  ~TWin32MessageChannel() override;

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

 private:
  struct TSyncRequest {
    const std::function<void()>* fn;
    std::exception_ptr error;
    bool done = false;
  };
  static LRESULT CALLBACK SyncWindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
  // On the main thread: runs every queued request.
  void ServeSyncRequests();

  DWORD main_thread_;
  TWindowHandle sync_window_;
  std::mutex sync_mutex_;
  std::deque<TSyncRequest*> sync_requests_;  // guarded by sync_mutex_
};

}  // namespace nolu
