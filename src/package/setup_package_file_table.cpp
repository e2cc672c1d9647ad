#include "package/setup_package_file_table.h"

#include <limits>

#include "base/errors.h"
#include "base/locale.h"
#include "package/internal/little_endian.h"

namespace nolu {

TSetupPackageFileTableItem& TSetupPackageFileTable::Add() {
  return items_.emplace_back();
}

const TSetupPackageFileTableItem* TSetupPackageFileTable::Find(StringView name) const {
  for (const TSetupPackageFileTableItem& item : items_) {
    if (EqualsIgnoreCase(item.Name, name)) return &item;
  }
  return nullptr;
}

void TSetupPackageFileTable::LoadFromStream(TStream& stream) {
  uint8_t count_bytes[4];
  stream.ReadBuffer(count_bytes, sizeof count_bytes);
  const auto count = package_internal::LoadLittleEndian<int32_t>(count_bytes);
  if (count <= 0) return;
  const int64_t left = stream.Size() - stream.Position();
  if (count > left / TSetupPackageFileTableItem::kMinRecordSize) throw EReadError();
  for (int32_t i = 0; i < count; ++i) {
    TSetupPackageFileTableItem item;
    item.LoadFromStream(stream);
    items_.push_back(std::move(item));
  }
}

void TSetupPackageFileTable::SaveToStream(TStream& stream) const {
  if (items_.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
    throw EInvalidOperation(u"Too many package entries");
  }
  uint8_t count_bytes[4];
  package_internal::StoreLittleEndian(static_cast<int32_t>(items_.size()), count_bytes);
  stream.WriteBuffer(count_bytes, sizeof count_bytes);
  for (const TSetupPackageFileTableItem& item : items_)
    item.SaveToStream(stream);
}

}  // namespace nolu
