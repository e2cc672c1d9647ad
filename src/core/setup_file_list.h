// TSetupFileList: pairs of an existing source file and the target name it gets elsewhere (the
// profile backup names each profile file by its place in the archive).
#pragma once

#include <cstddef>
#include <vector>

#include "base/text.h"

namespace nolu {

struct TSetupFileListItem {
  String Target;
  String Source;  // full path of an existing file

  friend bool operator==(const TSetupFileListItem&, const TSetupFileListItem&) = default;
};

class TSetupFileList {
 public:
  void Add(StringView source, StringView target);
  // Adds every file that FindFiles finds below `root` outside `excluded_prefix`, in that
  // order, with the target `target_root` followed by the file's path relative to `root`.
  void AddFolder(StringView root, StringView excluded_prefix, StringView target_root);
  // Removes every item whose source file name equals `name` without regard to case.
  void RemoveByName(StringView name);

  size_t Count() const { return items_.size(); }
  const TSetupFileListItem& Items(size_t index) const { return items_[index]; }
  const std::vector<TSetupFileListItem>& All() const { return items_; }

 private:
  std::vector<TSetupFileListItem> items_;
};

}  // namespace nolu
