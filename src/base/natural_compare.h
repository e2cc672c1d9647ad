// The natural ("logical") order of file and language names: runs of digits compare by their
// numeric value (ASCII digits and the full-width digits U+FF10..U+FF19 alike), everything
// else by the locale's case-insensitive comparison. "Lang9" sorts before "Lang10".
#pragma once

#include "base/text.h"

namespace nolu {

// Negative, zero or positive. Numbers equal in value but written with different leading
// zeros compare equal at that point; the comparison then goes on with the rest of the text.
int CompareLogical(StringView a, StringView b);

// Stable sort of a list in that order.
void SortLogical(StringList& list);

}  // namespace nolu
