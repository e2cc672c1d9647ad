// File system paths of the tools, converted at the edge: the system's text is UTF-16, the
// host's file names are UTF-8 bytes and Windows' are UTF-16.
#pragma once

#include <filesystem>

#include "base/text.h"

namespace nolu::tool {

std::filesystem::path ToPath(StringView text);
String FromPath(const std::filesystem::path& path);
// False when the host file name is not valid UTF-8 (it has no faithful UTF-16 form).
bool TryFromPath(const std::filesystem::path& path, String& text);

}  // namespace nolu::tool
