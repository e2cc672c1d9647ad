// EZipError: an archive that cannot be written as asked (an entry name that a zip file cannot
// hold, a time outside the format's range, a file that outgrew its entry while it was read).
// Failures of the source or destination stream keep their own errors.
#pragma once

#include "base/errors.h"

namespace nolu {

class EZipError : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace nolu
