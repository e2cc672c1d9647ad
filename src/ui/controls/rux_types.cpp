#include "ui/controls/rux_types.h"

#include <cstdint>

namespace nolu::ui {

int MulDiv(int value, int numerator, int denominator) {
  if (denominator == 0) return -1;
  const int64_t product = static_cast<int64_t>(value) * numerator;
  const int64_t half = denominator / 2 * ((product < 0) != (denominator < 0) ? -1 : 1);
  return static_cast<int>((product + half) / denominator);
}

}  // namespace nolu::ui
