#include "arguments.h"

#include <algorithm>
#include <cmath>

#include "base/format.h"

namespace nolu::driver {
namespace {

bool Contains(const std::vector<StringView>& names, StringView name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

OptionNames operator+(OptionNames a, const OptionNames& b) {
  a.valued.insert(a.valued.end(), b.valued.begin(), b.valued.end());
  a.flags.insert(a.flags.end(), b.flags.begin(), b.flags.end());
  return a;
}

Arguments::Arguments(const StringList& args, const OptionNames& names) {
  for (size_t i = 0; i < args.size(); ++i) {
    const String& arg = args[i];
    if (!StartsWith(arg, u"--") || arg.size() == 2) {
      positional_.push_back(arg);
      continue;
    }
    String name = arg.substr(2);
    std::optional<String> value;
    if (const size_t eq = name.find(u'='); eq != String::npos) {
      value = name.substr(eq + 1);
      name.resize(eq);
    }
    if (Contains(names.flags, name)) {
      if (value) throw UsageError(Format(u"option --%s takes no value", {name}));
      value = u"";
    } else if (Contains(names.valued, name)) {
      if (!value) {
        if (i + 1 >= args.size()) throw UsageError(Format(u"option --%s needs a value", {name}));
        value = args[++i];
      }
    } else {
      throw UsageError(Format(u"unknown option --%s", {name}));
    }
    if (!values_.emplace(name, *value).second) {
      throw UsageError(Format(u"option --%s given twice", {name}));
    }
  }
}

bool Arguments::Has(StringView name) const {
  return values_.count(String(name)) != 0;
}

std::optional<String> Arguments::Find(StringView name) const {
  const auto it = values_.find(String(name));
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

String Arguments::Get(StringView name, StringView fallback) const {
  return Find(name).value_or(String(fallback));
}

std::optional<int64_t> Arguments::FindInt(StringView name) const {
  const std::optional<String> text = Find(name);
  if (!text) return std::nullopt;
  const std::optional<int64_t> value = ParseInteger(*text);
  if (!value) throw UsageError(Format(u"option --%s wants a number, not \"%s\"", {name, *text}));
  return value;
}

int64_t Arguments::GetInt(StringView name, int64_t fallback) const {
  return FindInt(name).value_or(fallback);
}

uint32_t Arguments::GetMilliseconds(StringView name, double fallback_seconds) const {
  double seconds = fallback_seconds;
  if (const std::optional<String> text = Find(name)) {
    const std::optional<double> parsed = ParseSeconds(*text);
    if (!parsed) {
      throw UsageError(Format(u"option --%s wants seconds, not \"%s\"", {name, *text}));
    }
    seconds = *parsed;
  }
  // A day is far beyond any wait a test may ask for, and keeps the product inside 32 bits.
  return static_cast<uint32_t>(std::lround(std::min(seconds, 86400.0) * 1000.0));
}

std::optional<int64_t> ParseInteger(StringView text) {
  if (StartsWith(text, u"0x") || StartsWith(text, u"0X")) {
    const StringView digits = text.substr(2);
    if (digits.empty() || digits.size() > 16) return std::nullopt;
    uint64_t value = 0;
    for (const Char c : digits) {
      int digit;
      if (c >= u'0' && c <= u'9') {
        digit = c - u'0';
      } else if (c >= u'a' && c <= u'f') {
        digit = c - u'a' + 10;
      } else if (c >= u'A' && c <= u'F') {
        digit = c - u'A' + 10;
      } else {
        return std::nullopt;
      }
      value = value * 16 + static_cast<uint64_t>(digit);
    }
    return static_cast<int64_t>(value);
  }
  int64_t value = 0;
  if (!TryStrToInt(text, value)) return std::nullopt;
  return value;
}

std::optional<double> ParseSeconds(StringView text) {
  double whole = 0;
  double fraction = 0;
  double scale = 1;
  bool any_digit = false;
  bool in_fraction = false;
  for (const Char c : text) {
    if (c == u'.' && !in_fraction) {
      in_fraction = true;
    } else if (c >= u'0' && c <= u'9') {
      any_digit = true;
      if (in_fraction) {
        scale /= 10;
        fraction += (c - u'0') * scale;
      } else {
        whole = whole * 10 + (c - u'0');
      }
    } else {
      return std::nullopt;
    }
  }
  if (!any_digit) return std::nullopt;
  return whole + fraction;
}

}  // namespace nolu::driver
