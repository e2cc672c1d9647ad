// TGuid: a 128-bit identifier in the layout of the Windows GUID.
#pragma once

#include <array>
#include <cstdint>

#include "base/text.h"

namespace nolu {

struct TGuid {
  uint32_t Data1 = 0;
  uint16_t Data2 = 0;
  uint16_t Data3 = 0;
  std::array<uint8_t, 8> Data4{};

  // Registry form: braces, upper-case hexadecimal digits in groups 8-4-4-4-12, for example
  // "{713CEF87-75EE-4626-A068-80B97ECA2DC8}".
  String ToString() const;
  // Reads the registry form (either letter case); false when `text` is not one.
  static bool TryParse(StringView text, TGuid& guid);

  friend bool operator==(const TGuid&, const TGuid&) = default;
};

}  // namespace nolu
