#include "base/ini_file_section.h"

#include "base/locale.h"

namespace nolu {

TRuxIniFileSection::TRuxIniFileSection(String name) : name_(std::move(name)) {}

StringView TRuxIniFileSection::KeyOf(StringView line) {
  const size_t eq = line.find(u'=');
  return eq == StringView::npos ? StringView() : line.substr(0, eq);
}

uint32_t TRuxIniFileSection::KeyHash(StringView key) {
  // FNV-1a over the upper-cased code units: keys that compare equal upper-case equally.
  uint32_t hash = 2166136261u;
  for (Char c : UpperCase(key)) {
    hash = (hash ^ (c & 0xFF)) * 16777619u;
    hash = (hash ^ (c >> 8)) * 16777619u;
  }
  return hash;
}

StringView TRuxIniFileSection::Key(size_t index) const {
  return KeyOf(lines_[index].text);
}

StringView TRuxIniFileSection::Value(size_t index) const {
  const String& line = lines_[index].text;
  const size_t eq = line.find(u'=');
  return eq == String::npos ? StringView(line) : StringView(line).substr(eq + 1);
}

std::ptrdiff_t TRuxIniFileSection::IndexOfKey(StringView key) const {
  const uint32_t hash = KeyHash(key);
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].key_hash == hash && EqualsIgnoreCase(KeyOf(lines_[i].text), key)) {
      return static_cast<std::ptrdiff_t>(i);
    }
  }
  return -1;
}

void TRuxIniFileSection::Add(String line) {
  const uint32_t hash = KeyHash(KeyOf(line));
  lines_.push_back({std::move(line), hash});
}

void TRuxIniFileSection::Replace(size_t index, String line) {
  lines_[index].key_hash = KeyHash(KeyOf(line));
  lines_[index].text = std::move(line);
}

void TRuxIniFileSection::Delete(size_t index) {
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
}

}  // namespace nolu
