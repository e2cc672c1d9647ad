#include "base/text_layout/time_format.h"

namespace nolu {
namespace {

constexpr size_t kMaxLeadingDigits = 9;

// Reads a run of 1..max_digits ASCII digits at `pos`; false when there is none or it is longer.
bool ReadDigits(StringView text, size_t& pos, size_t max_digits, int64_t& value, size_t& count) {
  value = 0;
  count = 0;
  while (pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9') {
    if (++count > max_digits) return false;
    value = value * 10 + (text[pos] - u'0');
    ++pos;
  }
  return count > 0;
}

// Two digits 00..59 at `pos`.
bool ReadSexagesimal(StringView text, size_t& pos, int64_t& value) {
  size_t count = 0;
  return ReadDigits(text, pos, 2, value, count) && count == 2 && value < 60;
}

}  // namespace

std::optional<int64_t> TRuxTimeFormat::Parse(StringView text) {
  size_t pos = 0, count = 0;
  int64_t first = 0;
  if (!ReadDigits(text, pos, kMaxLeadingDigits, first, count)) return std::nullopt;
  if (pos >= text.size() || text[pos++] != u':') return std::nullopt;
  int64_t second = 0;
  if (!ReadSexagesimal(text, pos, second)) return std::nullopt;
  int64_t seconds = first * 60 + second;
  if (pos < text.size() && text[pos] == u':') {
    ++pos;
    int64_t third = 0;
    if (!ReadSexagesimal(text, pos, third)) return std::nullopt;
    seconds = (first * 60 + second) * 60 + third;
  }
  int64_t milliseconds = seconds * 1000;
  if (pos < text.size() && text[pos] == u'.') {
    ++pos;
    int64_t fraction = 0;
    if (!ReadDigits(text, pos, 3, fraction, count)) return std::nullopt;
    for (size_t i = count; i < 3; ++i)
      fraction *= 10;
    milliseconds += fraction;
  }
  if (pos != text.size()) return std::nullopt;
  return milliseconds;
}

}  // namespace nolu
