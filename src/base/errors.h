// The root of the error hierarchy and the general errors of the base library.
//
// Every error the system raises derives from Exception and carries its message as String.
// Messages are the system's documented texts, verbatim; they become the user's text once, at
// the edge (the error box, the finish page).
#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "base/text.h"

namespace nolu {

class Exception : public std::exception {
 public:
  explicit Exception(String message) : message_(std::move(message)) {}
  const String& Message() const { return message_; }
  // UTF-8 form of the message, for logs, test output and std::exception consumers.
  const char* what() const noexcept override;

 private:
  String message_;
  mutable std::string utf8_;
};

// A Format template that does not fit its arguments.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// An operation that is not valid in the current state; the codec glue raises it with
// "LZMA Error (%d)".
class EInvalidOperation : public Exception {
 public:
  using Exception::Exception;
};

class EStreamError : public Exception {
 public:
  using Exception::Exception;
};

// A stream delivered fewer bytes than a ReadBuffer asked for.
class EReadError : public EStreamError {
 public:
  EReadError() : EStreamError(u"Stream read error") {}
};

// A stream accepted fewer bytes than a WriteBuffer handed over.
class EWriteError : public EStreamError {
 public:
  EWriteError() : EStreamError(u"Stream write error") {}
};

// A file could not be opened or created: "Cannot open file "%s". %s".
class EFOpenError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

// An operating-system call failed. The message is "System Error.  Code: %d." CR LF and the
// system's text for the code, optionally followed by CR LF and an additional text.
class EOSError : public Exception {
 public:
  EOSError(uint32_t code, StringView system_text, StringView additional = {});
  uint32_t ErrorCode() const { return code_; }

 private:
  uint32_t code_;
};

}  // namespace nolu
