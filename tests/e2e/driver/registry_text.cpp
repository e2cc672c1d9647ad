#include "registry_text.h"

namespace nolu::driver {

StringList SplitMultiString(StringView data) {
  using namespace std::string_view_literals;
  // The list's own terminator, then the last string's.
  if (data.ends_with(u"\0\0"sv)) data.remove_suffix(1);
  if (!data.empty() && data.back() == u'\0') data.remove_suffix(1);
  StringList strings;
  if (data.empty()) return strings;
  for (size_t start = 0;;) {
    const size_t end = data.find(u'\0', start);
    strings.emplace_back(data.substr(start, end == StringView::npos ? end : end - start));
    if (end == StringView::npos) return strings;
    start = end + 1;
  }
}

}  // namespace nolu::driver
