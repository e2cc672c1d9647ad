#include "package/setup_package_file_table_item.h"

#include "base/errors.h"
#include "base/format.h"
#include "package/internal/little_endian.h"

namespace nolu {

using package_internal::LoadLittleEndian;
using package_internal::StoreLittleEndian;

void CheckPackageEntryName(StringView name) {
  if (name.size() > TSetupPackageFileTableItem::kMaxNameLength) {
    throw EInvalidOperation(
        Format(u"Package entry name is too long (%d characters, at most %d): \"%s...\"",
               {name.size(), TSetupPackageFileTableItem::kMaxNameLength, name.substr(0, 40)}));
  }
}

void TSetupPackageFileTableItem::LoadFromStream(TStream& stream) {
  uint8_t length_bytes[2];
  stream.ReadBuffer(length_bytes, sizeof length_bytes);
  const auto length = LoadLittleEndian<uint16_t>(length_bytes);
  Bytes name_bytes(size_t{length} * 2);
  stream.ReadBuffer(name_bytes.data(), name_bytes.size());
  Name.resize(length);
  for (size_t i = 0; i < length; ++i) {
    Name[i] = static_cast<Char>(LoadLittleEndian<uint16_t>(&name_bytes[2 * i]));
  }
  uint8_t range[16];
  stream.ReadBuffer(range, sizeof range);
  Offset = LoadLittleEndian<int64_t>(range);
  Size = LoadLittleEndian<int64_t>(range + 8);
}

void TSetupPackageFileTableItem::SaveToStream(TStream& stream) const {
  CheckPackageEntryName(Name);
  Bytes record(kMinRecordSize + Name.size() * 2);
  uint8_t* p = record.data();
  StoreLittleEndian(static_cast<uint16_t>(Name.size()), p);
  p += 2;
  for (const Char c : Name) {
    StoreLittleEndian(static_cast<uint16_t>(c), p);
    p += 2;
  }
  StoreLittleEndian(Offset, p);
  StoreLittleEndian(Size, p + 8);
  stream.WriteBuffer(record.data(), record.size());
}

}  // namespace nolu
