// Lists of full paths that the product's actions collect before they delete.
#pragma once

#include <algorithm>
#include <unordered_set>

#include "base/locale.h"
#include "base/text.h"

namespace nolu {

// Removes every path that occurs again later in the list, compared without regard to case:
// of equal paths the last one stays, in its place.
inline void RemoveDuplicatePaths(StringList& paths) {
  std::unordered_set<String> seen;
  StringList kept;
  kept.reserve(paths.size());
  for (auto it = paths.rbegin(); it != paths.rend(); ++it) {
    if (seen.insert(UpperCase(*it)).second) kept.push_back(std::move(*it));
  }
  std::reverse(kept.begin(), kept.end());
  paths = std::move(kept);
}

}  // namespace nolu
