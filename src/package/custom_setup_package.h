// TCustomSetupPackage: what the package reader and builder share: the file table and the
// decoded body, and the lookups of entries by name.
//
// Package file (all integers little-endian):
//
//   offset  size  field
//   0       4     magic "IPK5"
//   4       4     checksum: PackageCrc of the whole decoded body
//   8       4     decoded size: unsigned 32-bit length of the decoded body
//   12      ...   encoded body: LZMA (lzma_streams.h), then scrambled (TSetupPackageScrambler),
//                 running to the end of the file
//
// Decoded body:
//
//   entry data   the bytes of every entry, back to back, in the order they were added
//   file table   entry count and records (setup_package_file_table.h)
//   table size   signed 32-bit length of the file table; the last 4 bytes of the body
//
// The lookups never move a read position, so any number of threads may call them at once
// as long as nothing changes the package.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "base/memory_stream.h"
#include "package/setup_package_file_table.h"

namespace nolu {

class TCustomSetupPackage {
 public:
  static constexpr uint8_t kMagic[4] = {'I', 'P', 'K', '5'};
  static constexpr size_t kHeaderSize = 12;

  virtual ~TCustomSetupPackage() = default;
  TCustomSetupPackage(const TCustomSetupPackage&) = delete;
  TCustomSetupPackage& operator=(const TCustomSetupPackage&) = delete;

  const TSetupPackageFileTable& FileTable() const { return file_table_; }
  const TMemoryStream& Body() const { return body_; }

  // Whether an entry of this name exists (ignoring case, see TSetupPackageFileTable::Find).
  bool Contains(StringView name) const;
  // False, and `stream` untouched, when no entry matches; otherwise a new stream holding a
  // copy of the entry's bytes, positioned at 0. Raises EReadError when the entry's range
  // lies outside the body.
  bool Extract(StringView name, std::unique_ptr<TMemoryStream>& stream) const;
  // As Extract, but `bytes` views the entry inside the body, valid while the package lives:
  // what writes an entry out needs no copy of it.
  bool ExtractBytes(StringView name, std::span<const uint8_t>& bytes) const;

  // The end of the body that holds the file table: the table and its size field, as stored.
  // A copy of these bytes is all that lookups need before the body is decoded.
  std::span<const uint8_t> FileTableBytes() const;

  // Parses the file table from `tail`, the last bytes of a body of `body_size` bytes (the
  // whole body, or a copy of its FileTableBytes), and checks it against that body: the table
  // must lie inside `tail` and the body, its records must fill it exactly, and every entry's
  // range must lie inside the entry data. Raises ESetupPackageReadError, or EReadError when
  // the records run past the table's end.
  static TSetupPackageFileTable ReadFileTable(std::span<const uint8_t> tail, int64_t body_size);

 protected:
  TCustomSetupPackage() = default;
  explicit TCustomSetupPackage(Bytes body) : body_(std::move(body)) {}

  // Reads the file table from the end of the body (ReadFileTable).
  void LoadFileTable();

  TSetupPackageFileTable file_table_;
  TMemoryStream body_;
};

}  // namespace nolu
