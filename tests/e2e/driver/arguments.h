// The options of one driver subcommand: "--name value", "--name=value" and bare flags.
#pragma once

#include <map>
#include <optional>
#include <vector>

#include "base/errors.h"
#include "base/text.h"

namespace nolu::driver {

// A command line the driver cannot act on; the driver prints the usage and exits with 2.
class UsageError : public Exception {
 public:
  using Exception::Exception;
};

// The options a subcommand knows (names without the leading dashes): `valued` take a value,
// `flags` stand alone. Sets of options shared by several subcommands are added together.
struct OptionNames {
  std::vector<StringView> valued;
  std::vector<StringView> flags;
};
OptionNames operator+(OptionNames a, const OptionNames& b);

class Arguments {
 public:
  // Anything starting with "--" that `names` does not list is rejected, so a typo fails
  // loudly instead of being taken for a value; an option given twice is rejected too.
  Arguments(const StringList& args, const OptionNames& names);

  bool Has(StringView name) const;
  std::optional<String> Find(StringView name) const;
  String Get(StringView name, StringView fallback = {}) const;
  // The value as an integer: decimal, or hexadecimal with "0x" (window handles are printed
  // that way).
  std::optional<int64_t> FindInt(StringView name) const;
  int64_t GetInt(StringView name, int64_t fallback) const;
  // A duration in seconds, with an optional fraction ("10", "0.5"); milliseconds out.
  uint32_t GetMilliseconds(StringView name, double fallback_seconds) const;
  const StringList& Positional() const { return positional_; }

 private:
  std::map<String, String> values_;
  StringList positional_;
};

// "0x1a2b" or "6699" as an integer; nothing when the text is neither.
std::optional<int64_t> ParseInteger(StringView text);
// "10", "2.5", ".5" as a count of seconds; nothing when the text is not a plain decimal.
std::optional<double> ParseSeconds(StringView text);

}  // namespace nolu::driver
