// Exit codes of the driver and the errors that end a subcommand with one of them.
//
// Every subcommand prints one JSON line: its result, or {"error": "..."} when it fails.
// The exit code says which kind of failure it was, so a harness can tell "the window never
// came" from "the driver was called wrongly".
#pragma once

#include <cstdint>

#include "base/errors.h"

namespace nolu::driver {

enum class ExitCode : int {
  kOk = 0,
  // What the subcommand looked for, waited for or tried to bring about did not come to be
  // (in time): no such window or control, a disabled button, a program still running.
  kNotFound = 1,
  // The command line of the driver itself is wrong (see UsageError in arguments.h).
  kUsage = 2,
  // The system refused an operation (process creation, a file, COM).
  kSystemFailure = 3,
};

class NotFoundError : public Exception {
 public:
  using Exception::Exception;
};

class SystemFailure : public Exception {
 public:
  using Exception::Exception;
  // "`what` failed (system error `code`)", for a failed call and its GetLastError or HRESULT.
  SystemFailure(StringView what, int64_t code);
};

}  // namespace nolu::driver
