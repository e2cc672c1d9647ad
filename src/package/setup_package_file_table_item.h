// TSetupPackageFileTableItem: one entry of a package's file table.
//
// Entry record, as stored (little-endian):
//
//   size           field
//   2              name length n: unsigned 16-bit count of UTF-16 code units
//   2 * n          name, UTF-16LE, no terminator (absent when n is 0)
//   8              offset: signed 64-bit position of the entry's first byte in the body
//   8              size: signed 64-bit length of the entry in bytes
#pragma once

#include <cstdint>

#include "base/stream.h"
#include "base/text.h"

namespace nolu {

struct TSetupPackageFileTableItem {
  // A record without a name.
  static constexpr int64_t kMinRecordSize = 2 + 8 + 8;
  static constexpr size_t kMaxNameLength = 65535;

  String Name;
  int64_t Offset = 0;
  int64_t Size = 0;

  // Raises EReadError ("Stream read error") when the stream ends inside the record.
  void LoadFromStream(TStream& stream);
  // Raises EInvalidOperation when the name is longer than kMaxNameLength code units.
  void SaveToStream(TStream& stream) const;
};

// EInvalidOperation for a name the record cannot hold.
void CheckPackageEntryName(StringView name);

}  // namespace nolu
