#include "package/setup_package_scrambler.h"

#include "base/locale.h"

namespace nolu {

void TSetupPackageScrambler::SetKey(StringView key) {
  const std::string ansi = StringToAnsi(key);
  Key.assign(ansi.begin(), ansi.end());
  Position = 0;
}

void TSetupPackageScrambler::Process(uint8_t* buffer, int32_t count) {
  const auto length = static_cast<int32_t>(Key.size());
  if (length == 0) return;
  // A position set from outside may lie beyond the key; wrap it (negative ones too).
  int32_t position = ((Position % length) + length) % length;
  for (int32_t i = 0; i < count; ++i) {
    buffer[i] ^= Key[static_cast<size_t>(position)];
    if (++position == length) position = 0;
  }
  Position = position;
}

}  // namespace nolu
