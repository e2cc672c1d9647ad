// Little-endian integers of the package format, independent of the machine's byte order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace nolu::package_internal {

template <typename T>
T LoadLittleEndian(const uint8_t* bytes) {
  using U = std::make_unsigned_t<T>;
  U value = 0;
  for (size_t i = 0; i < sizeof(T); ++i)
    value |= static_cast<U>(bytes[i]) << (8 * i);
  return static_cast<T>(value);
}

template <typename T>
void StoreLittleEndian(T value, uint8_t* bytes) {
  using U = std::make_unsigned_t<T>;
  const U bits = static_cast<U>(value);
  for (size_t i = 0; i < sizeof(T); ++i)
    bytes[i] = static_cast<uint8_t>(bits >> (8 * i));
}

}  // namespace nolu::package_internal
