// IModuleResources: the RCDATA resources embedded in the running program (the SETUP and
// PRODUCT packages).
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "base/errors.h"
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
};

// RcData, or raises EResNotFound "Resource %s not found".
std::span<const uint8_t> RcDataOrRaise(StringView name);

}  // namespace nolu
