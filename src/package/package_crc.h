// The checksum of package bodies: CRC-32 with polynomial 0x04C11DB7, most significant bit
// first, initial value 0, no reflection and no final XOR. Its check value for the ASCII text
// "123456789" is 0x89A1897F. It is not the CRC-32 of zip and zlib, which is reflected and
// complemented.
//
// Sixteen bytes are folded per step with sixteen 256-entry tables, so that checking a 60 MiB
// body costs a small fraction of decoding it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/text.h"

namespace nolu {

// Continues a checksum over `count` more bytes; start with 0.
uint32_t UpdatePackageCrc(uint32_t crc, const void* data, size_t count);

// "0x89A1897F": how messages show a checksum.
String ChecksumText(uint32_t crc);

inline uint32_t PackageCrc(const void* data, size_t count) {
  return UpdatePackageCrc(0, data, count);
}

}  // namespace nolu
