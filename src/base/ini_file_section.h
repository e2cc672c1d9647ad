// TRuxIniFileSection: one section of an INI text, its name and its entry lines, verbatim.
//
// An entry's key is the text before its first "=", its value the text after it; nothing is
// trimmed, and a line without "=" has an empty key. Keys compare with EqualsIgnoreCase.
// Each line carries the hash of its upper-cased key, computed when the line is stored: key
// searches compare hashes first, and a search never writes, so any number of threads may
// search one section at once (the run's string table is read by two).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/text.h"

namespace nolu {

class TRuxIniFileSection {
 public:
  explicit TRuxIniFileSection(String name);

  const String& Name() const { return name_; }
  size_t Count() const { return lines_.size(); }
  const String& Line(size_t index) const { return lines_[index].text; }
  StringView Key(size_t index) const;
  StringView Value(size_t index) const;

  // Index of the first line whose key equals `key`, or -1.
  std::ptrdiff_t IndexOfKey(StringView key) const;

  void Add(String line);
  void Replace(size_t index, String line);
  void Delete(size_t index);
  void Clear() { lines_.clear(); }

  // The key part of a line, and the hash the lookups use for it.
  static StringView KeyOf(StringView line);
  static uint32_t KeyHash(StringView key);

 private:
  struct Entry {
    String text;
    uint32_t key_hash;
  };

  String name_;
  std::vector<Entry> lines_;
};

}  // namespace nolu
