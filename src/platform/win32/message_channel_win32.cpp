#include "platform/win32/message_channel_win32.h"

#include <algorithm>
#include <exception>

#include "base/errors.h"
#include "platform/error_codes.h"
#include "platform/win32/waitable_win32.h"
#include "platform/win32/win32_strings.h"

namespace nolu {
namespace {

// How long a dispatching wait sleeps at most before it looks at the queue again.
constexpr DWORD kWaitSlice = 100;

HWND ToHwnd(TWindowId id) {
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(id.Value));
}

HINSTANCE Instance() {
  return ::GetModuleHandleW(nullptr);
}

// Registers a window class once; a class that exists already (from an earlier window of the
// same name) is fine.
bool EnsureClass(const String& name, WNDPROC proc) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = proc;
  wc.hInstance = Instance();
  wc.lpszClassName = W(name);
  return ::RegisterClassExW(&wc) || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// One message-only window with its handler; the window procedure finds the object through
// GWLP_USERDATA, stored at WM_NCCREATE.
class TWin32MessageWindow : public TMessageWindow {
 public:
  explicit TWin32MessageWindow(MessageHandler handler) : handler_(std::move(handler)) {}
  ~TWin32MessageWindow() override {
    if (hwnd_) ::SetWindowLongPtrW(hwnd_.Get(), GWLP_USERDATA, 0);
  }

  bool Create(const String& class_name) {
    if (!EnsureClass(class_name, &WindowProc)) return false;
    hwnd_.Reset(::CreateWindowExW(0, W(class_name), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  Instance(), this));
    return static_cast<bool>(hwnd_);
  }
  TWindowId Id() const override { return TWindowId{reinterpret_cast<uintptr_t>(hwnd_.Get())}; }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TWin32MessageWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self) {
      if (msg == WM_USER) {
        TChannelMessage m;
        m.MessageKind = TChannelMessage::Kind::kValue;
        m.Code = wparam;
        m.Param = lparam;
        return self->Deliver(m);
      }
      if (msg == WM_COPYDATA && lparam) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lparam);
        TChannelMessage m;
        m.MessageKind = TChannelMessage::Kind::kText;
        m.Code = data->dwData;
        m.Sender = TWindowId{static_cast<uint64_t>(wparam)};
        if (data->cbData >= 2 && data->lpData) {
          m.Text = FromW(static_cast<const wchar_t*>(data->lpData), data->cbData / 2);
        }
        return self->Deliver(m);
      }
    }
    return ::DefWindowProcW(hwnd, msg, wparam, lparam);
  }

  LRESULT Deliver(const TChannelMessage& m) {
    try {
      return static_cast<LRESULT>(handler_(m));
    } catch (...) {
      return 0;  // errors cannot cross a window procedure
    }
  }

  MessageHandler handler_;
  TWindowHandle hwnd_;
};

}  // namespace

TWin32MessageChannel::TWin32MessageChannel() : main_thread_(::GetCurrentThreadId()) {
  const String sync_class = FromW(kSyncClass);
  if (EnsureClass(sync_class, &SyncWindowProc)) {
    sync_window_.Reset(::CreateWindowExW(0, W(sync_class), L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                         nullptr, Instance(), this));
  }
}

TWin32MessageChannel::~TWin32MessageChannel() {
  if (sync_window_) ::SetWindowLongPtrW(sync_window_.Get(), GWLP_USERDATA, 0);
}

LRESULT CALLBACK TWin32MessageChannel::SyncWindowProc(HWND hwnd, UINT msg, WPARAM wparam,
                                                      LPARAM lparam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  if (msg == kSyncMessage) {
    // Nothing of the message is used: it may come from anyone.
    auto* self = reinterpret_cast<TWin32MessageChannel*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self) self->ServeSyncRequests();
    return 0;
  }
  return ::DefWindowProcW(hwnd, msg, wparam, lparam);
}

void TWin32MessageChannel::ServeSyncRequests() {
  for (;;) {
    TSyncRequest* request = nullptr;
    {
      std::lock_guard lock(sync_mutex_);
      if (sync_requests_.empty()) return;
      request = sync_requests_.front();
      sync_requests_.pop_front();
    }
    // The requesting thread waits in SendMessageW until its own message has been handled,
    // which comes after this: the request outlives the call.
    try {
      (*request->fn)();
    } catch (...) {
      request->error = std::current_exception();
    }
    request->done = true;
  }
}

bool TWin32MessageChannel::IsMainThread() {
  return ::GetCurrentThreadId() == main_thread_;
}

bool TWin32MessageChannel::ServesBlockedSender() {
  // The system keeps the answer: the thread is inside a message that another thread (or
  // process) sent and still waits for, also while a modal loop runs inside its handler.
  return IsMainThread() && ::InSendMessage();
}

std::unique_ptr<TMessageWindow> TWin32MessageChannel::CreateMessageWindow(StringView class_name,
                                                                          MessageHandler handler) {
  if (!IsMainThread()) throw EInvalidOperation(u"Message windows belong to the main thread");
  auto window = std::make_unique<TWin32MessageWindow>(std::move(handler));
  if (!window->Create(String(class_name))) {
    const DWORD code = ::GetLastError();
    throw EOSError(code, Win32ErrorText(code), String(class_name));
  }
  return window;
}

int64_t TWin32MessageChannel::SendValue(TWindowId window, uint32_t code, int64_t param,
                                        uint32_t* error) {
  const HWND hwnd = ToHwnd(window);
  if (!::IsWindow(hwnd)) {
    if (error) *error = kErrorInvalidWindowHandle;
    return 0;
  }
  if (error) *error = kErrorSuccess;
  return ::SendMessageW(hwnd, WM_USER, code, static_cast<LPARAM>(param));
}

int64_t TWin32MessageChannel::SendText(TWindowId window, uint64_t code, StringView text,
                                       TWindowId sender, uint32_t* error, uint32_t timeout_ms) {
  const HWND hwnd = ToHwnd(window);
  if (!::IsWindow(hwnd)) {
    if (error) *error = kErrorInvalidWindowHandle;
    return 0;
  }
  if (error) *error = kErrorSuccess;
  COPYDATASTRUCT data{};
  data.dwData = static_cast<ULONG_PTR>(code);
  data.cbData = static_cast<DWORD>(text.size() * 2);
  data.lpData = text.empty() ? nullptr : const_cast<char16_t*>(text.data());
  if (timeout_ms == kInfinite) {
    return ::SendMessageW(hwnd, WM_COPYDATA, static_cast<WPARAM>(sender.Value),
                          reinterpret_cast<LPARAM>(&data));
  }
  // A program that hangs is given up at once, one that ends while it handles the message too.
  DWORD_PTR result = 0;
  ::SetLastError(ERROR_SUCCESS);
  if (!::SendMessageTimeoutW(hwnd, WM_COPYDATA, static_cast<WPARAM>(sender.Value),
                             reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG | SMTO_ERRORONEXIT,
                             timeout_ms, &result)) {
    const DWORD code_of_failure = ::GetLastError();
    if (error) *error = code_of_failure == ERROR_SUCCESS ? kErrorTimeout : code_of_failure;
    return 0;
  }
  return static_cast<int64_t>(result);
}

void TWin32MessageChannel::Synchronize(const std::function<void()>& fn) {
  if (IsMainThread()) {
    fn();
    return;
  }
  if (!sync_window_) throw EInvalidOperation(u"The main thread does not serve requests");
  TSyncRequest request{&fn, nullptr};
  {
    std::lock_guard lock(sync_mutex_);
    sync_requests_.push_back(&request);
  }
  ::SendMessageW(sync_window_.Get(), kSyncMessage, 0, 0);
  if (!request.done) {
    // The window is gone (the main thread ends): the request must not stay queued.
    std::lock_guard lock(sync_mutex_);
    std::erase(sync_requests_, &request);
    throw EInvalidOperation(u"The main thread does not serve requests");
  }
  if (request.error) std::rethrow_exception(request.error);
}

void TWin32MessageChannel::DispatchPending() {
  // PeekMessageW delivers every message sent to this thread's windows before it looks at the
  // posted ones, which it leaves alone here.
  MSG msg;
  ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

bool TWin32MessageChannel::WaitDispatching(IWaitable& object, uint32_t timeout_ms) {
  auto* waitable = dynamic_cast<TWin32Waitable*>(&object);
  if (!waitable) throw EInvalidOperation(u"Only objects of the Win32 platform can be waited for");
  if (!IsMainThread()) return object.Wait(timeout_ms);
  const HANDLE handle = waitable->WaitHandle();
  const ULONGLONG start = ::GetTickCount64();
  for (;;) {
    DWORD slice = kWaitSlice;
    if (timeout_ms != kInfinite) {
      const ULONGLONG elapsed = ::GetTickCount64() - start;
      if (elapsed >= timeout_ms)
        slice = 0;
      else
        slice = static_cast<DWORD>(std::min<ULONGLONG>(kWaitSlice, timeout_ms - elapsed));
    }
    const DWORD r =
        ::MsgWaitForMultipleObjectsEx(1, &handle, slice, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
    if (r == WAIT_OBJECT_0) return true;
    DispatchPending();
    if (r == WAIT_FAILED) return object.Wait(0);
    if (r == WAIT_TIMEOUT && slice == 0) return object.Wait(0);
  }
}

std::unique_ptr<TEvent> TWin32MessageChannel::NewEvent() {
  return std::make_unique<TWin32Event>();
}

}  // namespace nolu
