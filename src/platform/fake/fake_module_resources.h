// TFakeModuleResources: the RCDATA resources of the "running program", set by a test.
#pragma once

#include <functional>
#include <map>
#include <mutex>

#include "platform/module_resources.h"

namespace nolu {

class TFakeModuleResources : public IModuleResources {
 public:
  // Called before each read of a stream OpenRcData hands out, on the reading thread, with the
  // resource's name (upper case) and the read's position: a test can hold a reading there.
  using TReadHook = std::function<void(const String& name, int64_t position)>;

  std::optional<std::span<const uint8_t>> RcData(StringView name) override;
  std::unique_ptr<TStream> OpenRcData(StringView name) override;
  // For the streams opened from now on.
  void SetReadHook(TReadHook hook);

  // Replacing a resource invalidates the bytes handed out for it before.
  void SetRcData(StringView name, Bytes data);
  void RemoveRcData(StringView name);

 private:
  std::mutex mutex_;
  std::map<String, Bytes> resources_;  // by upper-case name
  TReadHook read_hook_;
};

}  // namespace nolu
