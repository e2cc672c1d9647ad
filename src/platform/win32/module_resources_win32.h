// TWin32ModuleResources: RCDATA resources of the running program, read in place from its
// mapped image.
#pragma once

#include "platform/module_resources.h"

namespace nolu {

class TWin32ModuleResources : public IModuleResources {
 public:
  std::optional<std::span<const uint8_t>> RcData(StringView name) override;
};

}  // namespace nolu
