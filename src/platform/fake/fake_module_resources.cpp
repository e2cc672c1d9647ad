#include "platform/fake/fake_module_resources.h"

#include "base/locale.h"

namespace nolu {

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

}  // namespace nolu
