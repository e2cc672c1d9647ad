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

void TCustomSetupPackage::LoadFileTable() {
  const auto length = static_cast<int64_t>(body_.Bytes().size());
  if (length < 4) throw EReadError();
  const auto table_size = package_internal::LoadLittleEndian<int32_t>(body_.Data() + length - 4);
  const int64_t table_start = length - 4 - table_size;
  if (table_size < 4 || table_start < 0) {
    throw ESetupPackageReadError(
        Format(u"the file table size %d does not fit in the %d-byte body", {table_size, length}));
  }
  // The table is parsed from its own copy, so that records cannot read past its end.
  const uint8_t* table_bytes = body_.Data() + table_start;
  TMemoryStream table(Bytes(table_bytes, table_bytes + table_size));
  file_table_.LoadFromStream(table);
  if (table.Position() != table.Size()) {
    throw ESetupPackageReadError(Format(u"the file table holds %d bytes after its last record",
                                        {table.Size() - table.Position()}));
  }
  for (int i = 0; i < file_table_.Count(); ++i) {
    const TSetupPackageFileTableItem& item = file_table_.Items(i);
    if (item.Offset < 0 || item.Size < 0 || item.Offset > table_start ||
        item.Size > table_start - item.Offset) {
      throw ESetupPackageReadError(
          Format(u"entry \"%s\" (offset %d, size %d) lies outside the %d bytes of entry data",
                 {item.Name, item.Offset, item.Size, table_start}));
    }
  }
}

}  // namespace nolu
