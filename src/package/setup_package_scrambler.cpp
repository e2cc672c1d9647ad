#include "package/setup_package_scrambler.h"

#include <cstring>

#include "base/locale.h"

namespace nolu {

void TSetupPackageScrambler::SetKey(StringView key) {
  const std::string ansi = StringToAnsi(key);
  Key.assign(ansi.begin(), ansi.end());
  Position = 0;
}

void TSetupPackageScrambler::Process(uint8_t* buffer, int32_t count) {
  const auto length = static_cast<int32_t>(Key.size());
  if (length == 0 || count <= 0) return;
  // A position set from outside may lie beyond the key; wrap it (negative ones too).
  int32_t position = ((Position % length) + length) % length;
  int32_t i = 0;
  if (count >= 64) {
    // Eight bytes per step: the key repeated so that the eight key bytes of any position
    // lie side by side.
    Bytes pattern(static_cast<size_t>(length) + 8);
    for (size_t j = 0; j < pattern.size(); ++j)
      pattern[j] = Key[j % Key.size()];
    for (; count - i >= 8; i += 8) {
      uint64_t word, key;
      std::memcpy(&word, buffer + i, 8);
      std::memcpy(&key, pattern.data() + position, 8);
      word ^= key;
      std::memcpy(buffer + i, &word, 8);
      position += 8;
      while (position >= length)
        position -= length;
    }
  }
  for (; i < count; ++i) {
    buffer[i] ^= Key[static_cast<size_t>(position)];
    if (++position == length) position = 0;
  }
  Position = position;
}

}  // namespace nolu
