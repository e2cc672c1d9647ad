#include "package/custom_setup_package.h"

#include "base/errors.h"
#include "base/format.h"
#include "package/internal/little_endian.h"
#include "package/setup_package_read_error.h"

namespace nolu {

bool TCustomSetupPackage::Contains(StringView name) const {
  return file_table_.Find(name) != nullptr;
}

bool TCustomSetupPackage::Extract(StringView name, std::unique_ptr<TMemoryStream>& stream) const {
  std::span<const uint8_t> bytes;
  if (!ExtractBytes(name, bytes)) return false;
  stream = std::make_unique<TMemoryStream>(Bytes(bytes.begin(), bytes.end()));
  return true;
}

bool TCustomSetupPackage::ExtractBytes(StringView name, std::span<const uint8_t>& bytes) const {
  const TSetupPackageFileTableItem* item = file_table_.Find(name);
  if (!item) return false;
  const auto body_size = static_cast<int64_t>(body_.Bytes().size());
  if (item->Offset < 0 || item->Size < 0 || item->Offset > body_size ||
      item->Size > body_size - item->Offset) {
    throw EReadError();
  }
  bytes = std::span<const uint8_t>(body_.Data() + item->Offset, static_cast<size_t>(item->Size));
  return true;
}

std::span<const uint8_t> TCustomSetupPackage::FileTableBytes() const {
  const std::span<const uint8_t> body(body_.Bytes());
  if (body.size() < 4) return {};
  const auto table_size =
      package_internal::LoadLittleEndian<int32_t>(body.data() + body.size() - 4);
  if (table_size < 0 || static_cast<uint64_t>(table_size) > body.size() - 4) return {};
  return body.last(static_cast<size_t>(table_size) + 4);
}

TSetupPackageFileTable TCustomSetupPackage::ReadFileTable(std::span<const uint8_t> tail,
                                                          int64_t body_size) {
  if (tail.size() < 4 || body_size < 4) throw EReadError();
  const auto table_size =
      package_internal::LoadLittleEndian<int32_t>(tail.data() + tail.size() - 4);
  const int64_t table_start = body_size - 4 - table_size;
  if (table_size < 4 || table_start < 0 || static_cast<uint64_t>(table_size) > tail.size() - 4) {
    throw ESetupPackageReadError(Format(u"the file table size %d does not fit in the %d-byte body",
                                        {table_size, body_size}));
  }
  // The table is parsed from its own copy, so that records cannot read past its end.
  const uint8_t* table_bytes = tail.data() + (tail.size() - 4 - table_size);
  TMemoryStream table(Bytes(table_bytes, table_bytes + table_size));
  TSetupPackageFileTable file_table;
  file_table.LoadFromStream(table);
  if (table.Position() != table.Size()) {
    throw ESetupPackageReadError(Format(u"the file table holds %d bytes after its last record",
                                        {table.Size() - table.Position()}));
  }
  for (int i = 0; i < file_table.Count(); ++i) {
    const TSetupPackageFileTableItem& item = file_table.Items(i);
    if (item.Offset < 0 || item.Size < 0 || item.Offset > table_start ||
        item.Size > table_start - item.Offset) {
      throw ESetupPackageReadError(
          Format(u"entry \"%s\" (offset %d, size %d) lies outside the %d bytes of entry data",
                 {item.Name, item.Offset, item.Size, table_start}));
    }
  }
  return file_table;
}

void TCustomSetupPackage::LoadFileTable() {
  file_table_ = ReadFileTable(body_.Bytes(), static_cast<int64_t>(body_.Bytes().size()));
}

}  // namespace nolu
