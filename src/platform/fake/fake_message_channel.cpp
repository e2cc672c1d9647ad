#include "platform/fake/fake_message_channel.h"

#include <chrono>

#include "base/errors.h"
#include "platform/error_codes.h"

namespace nolu {

struct TFakeMessageChannel::Pending {
  std::function<void()> run;
  bool done = false;
  bool abandoned = false;
  std::exception_ptr error;
};

class TFakeMessageChannel::Window : public TMessageWindow {
 public:
  Window(TFakeMessageChannel& channel, TWindowId id) : channel_(channel), id_(id) {}
  ~Window() override {
    std::lock_guard lock(channel_.hub_->mutex);
    channel_.windows_.erase(id_.Value);
  }
  TWindowId Id() const override { return id_; }

 private:
  TFakeMessageChannel& channel_;
  TWindowId id_;
};

namespace {

class TFakeEvent : public TEvent, public TFakeWaitable {
 public:
  explicit TFakeEvent(std::shared_ptr<TFakeHub> hub)
      : TFakeWaitable(std::move(hub), std::make_shared<TFakeSignalState>()) {}
  bool Wait(uint32_t timeout_ms) override { return WaitSignal(timeout_ms); }
  void Set() override { Signal(*hub_, *state_, true); }
  void Reset() override { Signal(*hub_, *state_, false); }
};

}  // namespace

TFakeMessageChannel::TFakeMessageChannel(std::shared_ptr<TFakeHub> hub)
    : hub_(std::move(hub)), main_thread_(std::this_thread::get_id()) {}

TFakeMessageChannel::~TFakeMessageChannel() {
  {
    std::lock_guard lock(hub_->mutex);
    closed_ = true;
    for (auto& pending : queue_)
      pending->abandoned = true;
    queue_.clear();
  }
  hub_->changed.notify_all();
}

bool TFakeMessageChannel::IsMainThread() {
  return std::this_thread::get_id() == main_thread_;
}

std::unique_ptr<TMessageWindow> TFakeMessageChannel::CreateMessageWindow(StringView class_name,
                                                                         MessageHandler handler) {
  if (!IsMainThread()) {
    throw EInvalidOperation(u"Message windows belong to the main thread");
  }
  const TWindowId id{hub_->NewWindowId()};
  std::lock_guard lock(hub_->mutex);
  windows_[id.Value] = {String(class_name), std::move(handler)};
  return std::make_unique<Window>(*this, id);
}

String TFakeMessageChannel::WindowClass(TWindowId window) {
  std::lock_guard lock(hub_->mutex);
  auto it = windows_.find(window.Value);
  return it == windows_.end() ? String() : it->second.class_name;
}

uint32_t TFakeMessageChannel::Enqueue(const std::shared_ptr<Pending>& pending,
                                      uint32_t timeout_ms) {
  std::unique_lock lock(hub_->mutex);
  if (closed_) return kErrorInvalidWindowHandle;
  queue_.push_back(pending);
  hub_->changed.notify_all();
  auto answered = [&] { return pending->done || pending->abandoned; };
  if (timeout_ms == kInfinite) {
    hub_->changed.wait(lock, answered);
  } else if (!hub_->changed.wait_for(lock, std::chrono::milliseconds(timeout_ms), answered)) {
    if (std::erase(queue_, pending)) return kErrorTimeout;
    // The main thread has taken it already and works on it: its answer is coming.
    hub_->changed.wait(lock, answered);
  }
  return pending->done ? kErrorSuccess : kErrorInvalidWindowHandle;
}

int64_t TFakeMessageChannel::Send(TWindowId window, TChannelMessage message, uint32_t* error,
                                  uint32_t timeout_ms) {
  uint32_t status = kErrorSuccess;
  int64_t result = 0;
  // Runs on the main thread: the window may have gone while the request waited.
  auto deliver = [&] {
    MessageHandler handler;
    {
      std::lock_guard lock(hub_->mutex);
      auto it = windows_.find(window.Value);
      if (it == windows_.end()) {
        status = kErrorInvalidWindowHandle;
        return;
      }
      handler = it->second.handler;
    }
    try {
      result = handler(message);
    } catch (...) {
      result = 0;  // a window procedure cannot pass errors on
    }
  };
  if (IsMainThread()) {
    deliver();
  } else {
    auto pending = std::make_shared<Pending>();
    pending->run = deliver;
    if (const uint32_t e = Enqueue(pending, timeout_ms)) status = e;
  }
  if (error) *error = status;
  return status == kErrorSuccess ? result : 0;
}

int64_t TFakeMessageChannel::SendValue(TWindowId window, uint32_t code, int64_t param,
                                       uint32_t* error) {
  TChannelMessage message;
  message.MessageKind = TChannelMessage::Kind::kValue;
  message.Code = code;
  message.Param = param;
  return Send(window, std::move(message), error);
}

int64_t TFakeMessageChannel::SendText(TWindowId window, uint64_t code, StringView text,
                                      TWindowId sender, uint32_t* error, uint32_t timeout_ms) {
  TChannelMessage message;
  message.MessageKind = TChannelMessage::Kind::kText;
  message.Code = code;
  message.Text = String(text);
  message.Sender = sender;
  return Send(window, std::move(message), error, timeout_ms);
}

void TFakeMessageChannel::Synchronize(const std::function<void()>& fn) {
  if (IsMainThread()) {
    fn();
    return;
  }
  auto pending = std::make_shared<Pending>();
  pending->run = fn;
  if (Enqueue(pending)) throw EInvalidOperation(u"The main thread no longer serves requests");
  if (pending->error) std::rethrow_exception(pending->error);
}

void TFakeMessageChannel::DispatchLocked(std::unique_lock<std::mutex>& lock) {
  while (!queue_.empty()) {
    std::shared_ptr<Pending> pending = queue_.front();
    queue_.pop_front();
    lock.unlock();
    ++serving_depth_;
    try {
      pending->run();
    } catch (...) {
      pending->error = std::current_exception();
    }
    --serving_depth_;
    lock.lock();
    pending->done = true;
    ++dispatched_;
    hub_->changed.notify_all();
  }
}

void TFakeMessageChannel::DispatchPending() {
  if (!IsMainThread()) return;
  std::unique_lock lock(hub_->mutex);
  DispatchLocked(lock);
}

bool TFakeMessageChannel::WaitDispatching(IWaitable& object, uint32_t timeout_ms) {
  auto* waitable = dynamic_cast<TFakeWaitable*>(&object);
  if (!waitable || &waitable->Hub() != hub_.get()) {
    throw EInvalidOperation(u"Only objects of the same fake platform can be waited for");
  }
  if (!IsMainThread()) return object.Wait(timeout_ms);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  std::unique_lock lock(hub_->mutex);
  for (;;) {
    DispatchLocked(lock);
    if (waitable->SignaledLocked()) return true;
    auto ready = [&] { return !queue_.empty() || waitable->SignaledLocked(); };
    if (timeout_ms == kInfinite) {
      hub_->changed.wait(lock, ready);
    } else if (!hub_->changed.wait_until(lock, deadline, ready)) {
      return false;
    }
  }
}

bool TFakeMessageChannel::ServesBlockedSender() {
  return IsMainThread() && serving_depth_ > 0;
}

std::unique_ptr<TEvent> TFakeMessageChannel::NewEvent() {
  return std::make_unique<TFakeEvent>(hub_);
}

int TFakeMessageChannel::DispatchedCount() {
  std::lock_guard lock(hub_->mutex);
  return dispatched_;
}

}  // namespace nolu

namespace nolu {

int TFakeMessageChannel::PendingCount() {
  std::lock_guard lock(hub_->mutex);
  return static_cast<int>(queue_.size());
}

}  // namespace nolu
