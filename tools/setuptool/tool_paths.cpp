#include "setuptool/tool_paths.h"

namespace nolu::tool {

std::filesystem::path ToPath(StringView text) {
#ifdef _WIN32
  return std::filesystem::path(std::wstring(text.begin(), text.end()));
#else
  return std::filesystem::path(StringToUtf8(text));
#endif
}

bool TryFromPath(const std::filesystem::path& path, String& text) {
#ifdef _WIN32
  const std::wstring& wide = path.native();
  text.assign(wide.begin(), wide.end());
  return true;
#else
  return TryUtf8ToString(path.native(), text);
#endif
}

String FromPath(const std::filesystem::path& path) {
#ifdef _WIN32
  String text;
  TryFromPath(path, text);
  return text;
#else
  return Utf8ToString(path.native());
#endif
}

}  // namespace nolu::tool
