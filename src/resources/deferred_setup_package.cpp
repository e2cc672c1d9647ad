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
    auto reader = std::make_unique<TSetupPackageReader>(source);
    // The lookups so far trusted the copy: the body must end with exactly the same table.
    const std::vector<uint8_t>& body = reader->Body().Bytes();
    if (body.size() < table_copy_.size() ||
        !std::equal(table_copy_.begin(), table_copy_.end(), body.end() - table_copy_.size())) {
      throw ESetupPackageReadError(u"the body's file table differs from the copy read first");
    }
    decoded_ = std::move(reader);
  } catch (...) {
    error_ = std::current_exception();
  }
  done_->Set();
}

bool TDeferredSetupPackage::Finished() const {
  return !done_ || done_->IsSignaled();
}

void TDeferredSetupPackage::Wait() const {
  if (done_) {
    IMessageChannel& channel = CurrentPlatform().Messages();
    if (channel.IsMainThread()) {
      channel.WaitDispatching(*done_);
    } else {
      done_->Wait(kInfinite);
    }
  }
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

}  // namespace nolu
