// Progress of the product's actions: `done` of `total` steps in whole percent, rounded to the
// nearest (a half rounds up); 0 for no steps at all.
#pragma once

#include <cstddef>

namespace nolu {

inline int RoundedPercent(size_t done, size_t total) {
  if (total == 0) return 0;
  return static_cast<int>((200 * done + total) / (2 * total));
}

}  // namespace nolu
