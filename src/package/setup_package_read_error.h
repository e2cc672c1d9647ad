// ESetupPackageReadError: a package that is not what it claims to be. The message is always
// "Package was corrupted"; Reason says which check failed, for tools and logs.
#pragma once

#include "base/errors.h"

namespace nolu {

class ESetupPackageReadError : public Exception {
 public:
  explicit ESetupPackageReadError(String reason = {})
      : Exception(u"Package was corrupted"), reason_(std::move(reason)) {}
  const String& Reason() const { return reason_; }

 private:
  String reason_;
};

}  // namespace nolu
