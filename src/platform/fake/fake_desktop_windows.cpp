#include "platform/fake/fake_desktop_windows.h"

#include "base/locale.h"
#include "platform/error_codes.h"

namespace nolu {

TFakeDesktopWindows::TFakeDesktopWindows(std::shared_ptr<TFakeHub> hub) : hub_(std::move(hub)) {}

TFakeDesktopWindows::Window* TFakeDesktopWindows::Find(TWindowId id) {
  for (Window& w : windows_) {
    if (w.Id == id) return &w;
  }
  return nullptr;
}

TWindowId TFakeDesktopWindows::FindTopLevelWindow(StringView class_name) {
  std::lock_guard lock(mutex_);
  for (const Window& w : windows_) {
    if (EqualsIgnoreCase(w.ClassName, class_name)) return w.Id;
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

uint32_t TFakeDesktopWindows::WindowProcessId(TWindowId window) {
  std::lock_guard lock(mutex_);
  const Window* w = Find(window);
  return w ? w->ProcessId : 0;
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

TWindowId TFakeDesktopWindows::AddWindow(StringView class_name, StringView owner_executable,
                                         std::function<bool()> on_close, uint32_t process_id) {
  const TWindowId id{hub_->NewWindowId()};
  std::lock_guard lock(mutex_);
  windows_.push_back(
      {id, String(class_name), String(owner_executable), process_id, std::move(on_close)});
  return id;
}

void TFakeDesktopWindows::RemoveWindow(TWindowId window) {
  std::lock_guard lock(mutex_);
  std::erase_if(windows_, [&](const Window& w) { return w.Id == window; });
}

bool TFakeDesktopWindows::WindowExists(TWindowId window) {
  std::lock_guard lock(mutex_);
  return Find(window) != nullptr;
}

void TFakeDesktopWindows::SetHung(TWindowId window, bool hung) {
  std::lock_guard lock(mutex_);
  if (Window* w = Find(window)) w->Hung = hung;
}

std::vector<TWindowId> TFakeDesktopWindows::CloseRequests() {
  std::lock_guard lock(mutex_);
  return close_requests_;
}

}  // namespace nolu
