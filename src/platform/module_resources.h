// IModuleResources: the RCDATA resources embedded in the running program (the SETUP and
// PRODUCT packages).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "base/errors.h"
#include "base/stream.h"
#include "base/text.h"

namespace nolu {

// A resource of the running program is missing.
class EResNotFound : public Exception {
 public:
  using Exception::Exception;
};

class IModuleResources {
 public:
  virtual ~IModuleResources() = default;
  // The bytes of the RCDATA resource `name` (compared without regard to case), or none. The
  // bytes stay valid and unchanged for the life of the platform instance (on Win32 they are
  // the program's own mapped image: no copy is made).
  virtual std::optional<std::span<const uint8_t>> RcData(StringView name) = 0;
  // A stream that reads the RCDATA resource `name` in place, or nullptr when there is none:
  // what a long reading goes through (the product package's decoding), so that a fake can
  // hold it at a chosen point.
  virtual std::unique_ptr<TStream> OpenRcData(StringView name);
};

// RcData, or raises EResNotFound "Resource %s not found".
std::span<const uint8_t> RcDataOrRaise(StringView name);

}  // namespace nolu
