#include "resources/deferred_setup_package.h"

#include <algorithm>
#include <cstring>

#include "base/errors.h"
#include "package/internal/little_endian.h"
#include "package/setup_package_read_error.h"
#include "platform/platform.h"

namespace nolu {
namespace {

// Thrown inside the decoding when the package is destroyed meanwhile; nobody sees it.
struct EDecodingAbandoned {};

// The source as the decoder reads it: every read first asks whether the package still wants
// the body, so that an abandoned decoding ends within one block of input.
class TAbandonableSource : public TStream {
 public:
  TAbandonableSource(TStream& inner, const std::atomic<bool>& abandon)
      : inner_(inner), abandon_(abandon) {}
  size_t Read(void* buffer, size_t count) override {
    if (abandon_.load()) throw EDecodingAbandoned();
    return inner_.Read(buffer, count);
  }
  size_t Write(const void*, size_t) override { throw EWriteError(); }
  int64_t Seek(int64_t offset, SeekOrigin origin) override { return inner_.Seek(offset, origin); }
  int64_t Size() override { return inner_.Size(); }
  void SetSize(int64_t) override { throw EWriteError(); }

 private:
  TStream& inner_;
  const std::atomic<bool>& abandon_;
};

// The main thread waits dispatching, so that the worker's notifications are served meanwhile.
void WaitOn(IWaitable& object) {
  IMessageChannel& channel = CurrentPlatform().Messages();
  if (channel.IsMainThread()) {
    channel.WaitDispatching(object);
  } else {
    object.Wait(kInfinite);
  }
}

}  // namespace

TDeferredSetupPackage::TDeferredSetupPackage(std::unique_ptr<TSetupPackageReader> decoded)
    : table_(decoded->FileTable()), decoded_(std::move(decoded)) {}

TDeferredSetupPackage::TDeferredSetupPackage(std::unique_ptr<TStream> source,
                                             std::span<const uint8_t> table)
    : table_copy_(table.begin(), table.end()), source_(std::move(source)) {
  const int64_t start = source_->Position();
  uint8_t header[TCustomSetupPackage::kHeaderSize];
  source_->ReadBuffer(header, sizeof header);
  if (std::memcmp(header, TCustomSetupPackage::kMagic, sizeof TCustomSetupPackage::kMagic) != 0) {
    throw ESetupPackageReadError(u"the file does not begin with \"IPK5\"");
  }
  const auto decoded_size = package_internal::LoadLittleEndian<uint32_t>(header + 8);
  table_ = TCustomSetupPackage::ReadFileTable(table_copy_, decoded_size);
  source_->SetPosition(start);
  done_ = CurrentPlatform().Messages().NewEvent();
  thread_ = std::thread([this] { Decode(); });
}

TDeferredSetupPackage::~TDeferredSetupPackage() {
  abandon_.store(true);
  if (thread_.joinable()) thread_.join();
}

void TDeferredSetupPackage::Decode() {
  try {
    TAbandonableSource source(*source_, abandon_);
    TSetupPackageReader::DecodeBody(
        source, body_, TSetupPackageScrambler::kDefaultKey,
        [this](const uint8_t* data, size_t decoded) { Advance(data, decoded); });
    // The lookups so far trusted the copy: the body must end with exactly the same table.
    const std::vector<uint8_t>& body = body_.Bytes();
    if (body.size() < table_copy_.size() ||
        !std::equal(table_copy_.begin(), table_copy_.end(), body.end() - table_copy_.size())) {
      throw ESetupPackageReadError(u"the body's file table differs from the copy read first");
    }
    decoded_ = std::make_unique<TSetupPackageReader>(body_.TakeBytes());
  } catch (...) {
    error_ = std::current_exception();
  }
  End();
  done_->Set();
}

void TDeferredSetupPackage::Advance(const uint8_t* data, size_t decoded) {
  body_data_.store(data, std::memory_order_relaxed);
  decoded_size_.store(decoded, std::memory_order_release);
  std::lock_guard lock(waiters_lock_);
  std::erase_if(waiters_, [decoded](const TWaiter& waiter) {
    if (waiter.end > decoded) return false;
    waiter.reached->Set();
    return true;
  });
}

void TDeferredSetupPackage::End() {
  std::lock_guard lock(waiters_lock_);
  ended_ = true;
  for (const TWaiter& waiter : waiters_)
    waiter.reached->Set();
  waiters_.clear();
}

void TDeferredSetupPackage::WaitForDecoded(uint64_t end) const {
  std::unique_ptr<TEvent> reached = CurrentPlatform().Messages().NewEvent();
  {
    std::lock_guard lock(waiters_lock_);
    if (ended_ || decoded_size_.load(std::memory_order_acquire) >= end) return;
    waiters_.push_back({end, reached.get()});
  }
  WaitOn(*reached);
  // The decoding thread sets the event under the lock: once the lock is had, it is done with
  // the event, which may go.
  std::lock_guard lock(waiters_lock_);
}

bool TDeferredSetupPackage::Finished() const {
  return !done_ || done_->IsSignaled();
}

void TDeferredSetupPackage::Wait() const {
  if (done_) WaitOn(*done_);
  if (error_) std::rethrow_exception(error_);
}

const TSetupPackageReader& TDeferredSetupPackage::Decoded() const {
  Wait();
  return *decoded_;
}

bool TDeferredSetupPackage::Extract(StringView name, std::unique_ptr<TMemoryStream>& stream) const {
  return Contains(name) && Decoded().Extract(name, stream);
}

bool TDeferredSetupPackage::ExtractBytes(StringView name, std::span<const uint8_t>& bytes) const {
  return Contains(name) && Decoded().ExtractBytes(name, bytes);
}

bool TDeferredSetupPackage::WaitForEntry(StringView name, std::span<const uint8_t>& bytes) const {
  const TSetupPackageFileTableItem* item = table_.Find(name);
  if (!item) return false;
  if (!done_) return decoded_->ExtractBytes(name, bytes);
  // The table copy was checked against the declared size: every entry lies inside the body.
  const auto end = static_cast<uint64_t>(item->Offset + item->Size);
  if (decoded_size_.load(std::memory_order_acquire) < end) WaitForDecoded(end);
  if (decoded_size_.load(std::memory_order_acquire) < end) {
    // Ended before it got there: decoding the whole declared size is the decoding's success.
    Wait();
    throw ESetupPackageReadError(u"the body ends before the entry");
  }
  bytes = {body_data_.load(std::memory_order_relaxed) + item->Offset,
           static_cast<size_t>(item->Size)};
  return true;
}

}  // namespace nolu
