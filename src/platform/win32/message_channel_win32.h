// TWin32MessageChannel: message-only windows of the main thread, SendMessageW with WM_USER and
// WM_COPYDATA, Synchronize through a sent message to the channel's own message-only window,
// and waits with MsgWaitForMultipleObjectsEx that serve sent messages while they wait.
#pragma once

#include <windows.h>

#include "platform/message_channel.h"
#include "platform/win32/handles.h"

namespace nolu {

class TWin32MessageChannel : public IMessageChannel {
 public:
  // On the main thread.
  TWin32MessageChannel();
  ~TWin32MessageChannel() override;

  std::unique_ptr<TMessageWindow> CreateMessageWindow(StringView class_name,
                                                      MessageHandler handler) override;
  int64_t SendValue(TWindowId window, uint32_t code, int64_t param,
                    uint32_t* error = nullptr) override;
  int64_t SendText(TWindowId window, uint64_t code, StringView text, TWindowId sender,
                   uint32_t* error = nullptr) override;
  void Synchronize(const std::function<void()>& fn) override;
  bool WaitDispatching(IWaitable& object, uint32_t timeout_ms = kInfinite) override;
  void DispatchPending() override;
  std::unique_ptr<TEvent> NewEvent() override;
  bool IsMainThread() override;
  bool ServesBlockedSender() override;

 private:
  DWORD main_thread_;
  TWindowHandle sync_window_;
};

}  // namespace nolu
