#include "base/text_layout/text_link_rules.h"

namespace nolu {
namespace {

bool IsAsciiAlnum(Char c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

bool IsEmailLocalChar(Char c) {
  return IsAsciiAlnum(c) || StringView(u".!#$%&'*+/=?^_`{|}~-").find(c) != StringView::npos;
}

bool IsEmailLabel(StringView label) {
  if (label.empty() || label.size() > 63) return false;
  if (label.front() == u'-' || label.back() == u'-') return false;
  for (Char c : label) {
    if (!IsAsciiAlnum(c) && c != u'-') return false;
  }
  return true;
}

}  // namespace

// By hand rather than with <regex>: std::regex has no UTF-16 traits, and its matcher
// recurses per character, which a long word from any text could turn into a stack overflow.
bool IsHtmlEmailAddress(StringView text) {
  const size_t at = text.find(u'@');
  if (at == 0 || at == StringView::npos) return false;
  for (Char c : text.substr(0, at)) {
    if (!IsEmailLocalChar(c)) return false;
  }
  StringView domain = text.substr(at + 1);
  while (true) {
    const size_t dot = domain.find(u'.');
    if (!IsEmailLabel(domain.substr(0, dot))) return false;
    if (dot == StringView::npos) return true;
    domain = domain.substr(dot + 1);
  }
}

bool HasLinkScheme(StringView text) {
  size_t n = 0;
  while (n < text.size() && IsAsciiAlnum(text[n]))
    ++n;
  if (n == 0 || text.size() < n + 3 || text[n] != u':') return false;
  const Char a = text[n + 1], b = text[n + 2];
  return a == b && (a == u'/' || a == u'\\');
}

std::optional<String> WebAddressTarget(StringView word) {
  if (HasLinkScheme(word)) return String(word);
  if (word.size() > 4 && StartsWith(word, u"www.") && word.find(u'.', 4) != StringView::npos) {
    return u"https://" + String(word);
  }
  return std::nullopt;
}

}  // namespace nolu
