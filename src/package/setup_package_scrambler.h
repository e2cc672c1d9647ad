// TSetupPackageScrambler: the repeating-key XOR laid over the encoded stream of a package.
//
// Byte i of the encoded stream (i counted from 0 at the LZMA properties byte) is XORed with
// key byte i mod k. The key position carries over from one Process call to the next, so a
// stream may be scrambled in pieces of any size; the same operation scrambles and descrambles.
#pragma once

#include <cstdint>

#include "base/text.h"

namespace nolu {

struct TSetupPackageScrambler {
  // The scramble key of every package the setup reads and of its uninstall data.
  static constexpr StringView kDefaultKey = u"7290318465";

  Bytes Key;             // the key string in the ANSI code page
  int32_t Position = 0;  // index into Key of the next byte's key byte

  // Key := the ANSI bytes of `key`, Position := 0.
  void SetKey(StringView key);
  // XORs `count` bytes in place and advances Position. An empty key leaves the bytes as they
  // are (there is nothing to XOR with).
  void Process(uint8_t* buffer, int32_t count);
};

}  // namespace nolu
