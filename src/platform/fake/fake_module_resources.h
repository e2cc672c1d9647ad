// TFakeModuleResources: the RCDATA resources of the "running program", set by a test.
#pragma once

#include <map>
#include <mutex>

#include "platform/module_resources.h"

namespace nolu {

class TFakeModuleResources : public IModuleResources {
 public:
  std::optional<std::span<const uint8_t>> RcData(StringView name) override;

  // Replacing a resource invalidates the bytes handed out for it before.
  void SetRcData(StringView name, Bytes data);
  void RemoveRcData(StringView name);

 private:
  std::mutex mutex_;
  std::map<String, Bytes> resources_;  // by upper-case name
};

}  // namespace nolu
