#include "base/natural_compare.h"

#include <algorithm>

#include "base/locale.h"

namespace nolu {
namespace {

int DigitValue(Char c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= 0xFF10 && c <= 0xFF19) return c - 0xFF10;
  return -1;
}

size_t RunEnd(StringView s, size_t begin, bool digits) {
  size_t i = begin;
  while (i < s.size() && (DigitValue(s[i]) >= 0) == digits)
    ++i;
  return i;
}

// Compares two digit runs by value without converting them (they may be longer than any
// integer type holds).
int CompareNumbers(StringView a, StringView b) {
  auto strip = [](StringView s) {
    size_t i = 0;
    while (i + 1 < s.size() && DigitValue(s[i]) == 0)
      ++i;
    return s.substr(i);
  };
  a = strip(a);
  b = strip(b);
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  for (size_t i = 0; i < a.size(); ++i) {
    const int x = DigitValue(a[i]), y = DigitValue(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return 0;
}

}  // namespace

int CompareLogical(StringView a, StringView b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const bool da = DigitValue(a[i]) >= 0, db = DigitValue(b[j]) >= 0;
    if (da && db) {
      const size_t ei = RunEnd(a, i, true), ej = RunEnd(b, j, true);
      if (int r = CompareNumbers(a.substr(i, ei - i), b.substr(j, ej - j))) return r;
      i = ei, j = ej;
      continue;
    }
    if (da != db) {
      // A number sorts before text, as in the shell's file lists.
      return da ? -1 : 1;
    }
    const size_t ei = RunEnd(a, i, false), ej = RunEnd(b, j, false);
    if (int r = CompareIgnoreCase(a.substr(i, ei - i), b.substr(j, ej - j))) return r;
    i = ei, j = ej;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

void SortLogical(StringList& list) {
  std::stable_sort(list.begin(), list.end(),
                   [](const String& x, const String& y) { return CompareLogical(x, y) < 0; });
}

}  // namespace nolu
