#include "platform/fake/fake_module_resources.h"

#include "base/locale.h"
#include "base/read_only_memory_stream.h"

namespace nolu {
namespace {

class THookedStream : public TReadOnlyMemoryStream {
 public:
  THookedStream(std::span<const uint8_t> bytes, String name, TFakeModuleResources::TReadHook hook)
      : TReadOnlyMemoryStream(bytes), name_(std::move(name)), hook_(std::move(hook)) {}
  size_t Read(void* buffer, size_t count) override {
    hook_(name_, Position());
    return TReadOnlyMemoryStream::Read(buffer, count);
  }

 private:
  String name_;
  TFakeModuleResources::TReadHook hook_;
};

}  // namespace

std::optional<std::span<const uint8_t>> TFakeModuleResources::RcData(StringView name) {
  std::lock_guard lock(mutex_);
  auto it = resources_.find(UpperCase(name));
  if (it == resources_.end()) return std::nullopt;
  return std::span<const uint8_t>(it->second);
}

void TFakeModuleResources::SetRcData(StringView name, Bytes data) {
  std::lock_guard lock(mutex_);
  resources_[UpperCase(name)] = std::move(data);
}

void TFakeModuleResources::RemoveRcData(StringView name) {
  std::lock_guard lock(mutex_);
  resources_.erase(UpperCase(name));
}

std::unique_ptr<TStream> TFakeModuleResources::OpenRcData(StringView name) {
  const std::optional<std::span<const uint8_t>> data = RcData(name);
  if (!data) return nullptr;
  std::lock_guard lock(mutex_);
  if (!read_hook_) return std::make_unique<TReadOnlyMemoryStream>(*data);
  return std::make_unique<THookedStream>(*data, UpperCase(name), read_hook_);
}

void TFakeModuleResources::SetReadHook(TReadHook hook) {
  std::lock_guard lock(mutex_);
  read_hook_ = std::move(hook);
}

}  // namespace nolu
