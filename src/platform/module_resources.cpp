#include "platform/module_resources.h"

#include "base/format.h"
#include "base/read_only_memory_stream.h"
#include "platform/platform.h"

namespace nolu {

std::unique_ptr<TStream> IModuleResources::OpenRcData(StringView name) {
  const std::optional<std::span<const uint8_t>> data = RcData(name);
  if (!data) return nullptr;
  return std::make_unique<TReadOnlyMemoryStream>(*data);
}

std::span<const uint8_t> RcDataOrRaise(StringView name) {
  if (auto data = CurrentPlatform().Resources().RcData(name)) return *data;
  throw EResNotFound(Format(u"Resource %s not found", {String(name)}));
}

}  // namespace nolu
