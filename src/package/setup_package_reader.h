// TSetupPackageReader: opens a package (layout in custom_setup_package.h) and holds its
// decoded body and file table.
#pragma once

#include "base/stream.h"
#include "package/custom_setup_package.h"
#include "package/lzma_streams.h"
#include "package/setup_package_scrambler.h"

namespace nolu {

class TSetupPackageReader : public TCustomSetupPackage {
 public:
  // Reads a package from the source's position to its end; the source stays the caller's and
  // nothing of it is kept. Raises:
  //   * EReadError ("Stream read error") when the source holds fewer than 12 bytes, or the
  //     file table's records run past the table's end;
  //   * ESetupPackageReadError ("Package was corrupted") for a wrong magic, a declared size
  //     beyond MaxDecodedSize, a body that does not decode to the declared size or checksum, or a
  //     file table that does not fit the body (see LoadFileTable);
  //   * EInvalidOperation ("LZMA Error (%d)") when the decoder fails otherwise (2: out of
  //     memory, 4: unsupported properties, 9: the body could not be stored).
  // `key` is the scramble key; the setup's packages all use the default.
  explicit TSetupPackageReader(TStream& source,
                               StringView key = TSetupPackageScrambler::kDefaultKey);
  // A package whose body DecodeBody has decoded and checked; raises as LoadFileTable does.
  // The bytes are taken over where they lie.
  explicit TSetupPackageReader(Bytes decoded_body);

  // The constructor's decoding and checks, into `body` (replacing what it held), which stays
  // the caller's whatever is raised. `progress` reports the body as it grows, in place.
  static void DecodeBody(TStream& source, TMemoryStream& body, StringView key,
                         const TDecodeProgress& progress = {});

  // The most bytes `encoded_size` bytes of LZMA data can decode to: every decision of the
  // range coder costs at least -log2(2017/2048) bits, and a match of the longest length (273
  // bytes) takes 14 decisions, which bounds the output at about 7,090 bytes per input byte.
  // A header that claims more is refused before memory is reserved for the body; within the
  // bound the body is reserved once, at the declared size, and decoded in place.
  static uint64_t MaxDecodedSize(uint64_t encoded_size);
};

}  // namespace nolu
