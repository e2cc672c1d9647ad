// TSetupPackageFileTable: the ordered list of a package's entries.
//
// File table, as stored (little-endian): entry count (signed 32-bit), then that many entry
// records (see setup_package_file_table_item.h) in table order.
#pragma once

#include <deque>

#include "base/stream.h"
#include "package/setup_package_file_table_item.h"

namespace nolu {

class TSetupPackageFileTable {
 public:
  // Appends an empty item and returns it; it stays where it is while the table grows.
  TSetupPackageFileTableItem& Add();
  int Count() const { return static_cast<int>(items_.size()); }
  const TSetupPackageFileTableItem& Items(int index) const { return items_.at(index); }

  // The first item whose name equals `name` ignoring case under the user's locale (same
  // number of UTF-16 code units), or nullptr. Earlier entries shadow later ones.
  const TSetupPackageFileTableItem* Find(StringView name) const;

  // Reads the count and then that many records, appending them; a count of 0 or less adds
  // nothing. A count that cannot fit in what is left of the stream raises EReadError before
  // anything is allocated for it.
  void LoadFromStream(TStream& stream);
  // Writes the count and every item in order.
  void SaveToStream(TStream& stream) const;

 private:
  std::deque<TSetupPackageFileTableItem> items_;
};

}  // namespace nolu
