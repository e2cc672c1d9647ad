#include "core/setup_file_list.h"

#include <algorithm>

#include "base/locale.h"
#include "base/path.h"
#include "core/file_search_helper.h"

namespace nolu {

void TSetupFileList::Add(StringView source, StringView target) {
  items_.push_back({String(target), String(source)});
}

void TSetupFileList::AddFolder(StringView root, StringView excluded_prefix,
                               StringView target_root) {
  // The relative part is cut after the root's own length, so the root must carry its
  // backslash; otherwise every target would start with one.
  const String folder = IncludeTrailingBackslash(root);
  StringList files;
  FindFiles(folder, excluded_prefix, files);
  for (const String& file : files) {
    Add(file, String(target_root) + file.substr(folder.size()));
  }
}

void TSetupFileList::RemoveByName(StringView name) {
  std::erase_if(items_, [&](const TSetupFileListItem& item) {
    return EqualsIgnoreCase(ExtractFileName(item.Source), name);
  });
}

}  // namespace nolu
