#include "platform/module_resources.h"

#include "base/format.h"
#include "platform/platform.h"

namespace nolu {

std::span<const uint8_t> RcDataOrRaise(StringView name) {
  if (auto data = CurrentPlatform().Resources().RcData(name)) return *data;
  throw EResNotFound(Format(u"Resource %s not found", {String(name)}));
}

}  // namespace nolu
