// TSetupPackageBuilder: collects entries in memory and writes a package (layout in
// custom_setup_package.h).
#pragma once

#include "base/stream.h"
#include "package/custom_setup_package.h"
#include "package/lzma_streams.h"

namespace nolu {

class TSetupPackageBuilder : public TCustomSetupPackage {
 public:
  // The compression level of the setup's own packages.
  static constexpr int kDefaultLevel = 4;

  // `key` scrambles the encoded body (TSetupPackageScrambler).
  explicit TSetupPackageBuilder(StringView key);

  const String& Key() const { return key_; }

  // Appends the source's bytes from its position to its end as a new entry named `name`
  // (names need not be unique; lookups find the first). Raises EInvalidOperation for a name
  // longer than 65535 UTF-16 code units. When the source fails, the builder is left as it
  // was and the source's error propagates.
  void Add(TStream& source, StringView name);

  // Writes the complete package at the destination's position: the 12-byte header, then the
  // body with its file table, compressed at `level` (see LZMACompress) and scrambled.
  // The builder keeps its entries, so it may be committed again. Raises EInvalidOperation
  // when the body reaches 4 GiB (its size field has 32 bits), "LZMA Error (9)" when the
  // destination accepts fewer bytes than the encoder hands over.
  void Commit(TStream& dest, int level, const TLZMAProgress& progress = {});

  // Creates (or truncates) the file and commits into it.
  void SaveToFile(const String& file_name, int level);

 private:
  String key_;
};

}  // namespace nolu
