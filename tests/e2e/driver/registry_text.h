// The strings of a REG_MULTI_SZ value, read as the system's own consumers of such lists do.
#pragma once

#include "base/text.h"

namespace nolu::driver {

// `data` is the value's text, UTF-16 units as stored: NUL-terminated strings followed by one
// more NUL that ends the list. Empty strings inside the list are kept: some lists pair their
// entries, and "PendingFileRenameOperations" marks a deletion with an empty target. A value
// written without its final NUL (or without any) is read as far as it goes.
StringList SplitMultiString(StringView data);

}  // namespace nolu::driver
