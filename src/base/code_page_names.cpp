#include "base/code_page_names.h"

#include <charconv>

namespace nolu {
namespace {

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (Lower(text[i]) != prefix[i]) return false;
  }
  return true;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && StartsWithIgnoringCase(a, b);
}

// The number that makes up all of `digits`, or 0.
uint32_t Number(std::string_view digits) {
  uint32_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return error == std::errc() && end == digits.data() + digits.size() ? value : 0;
}

struct TNamedCodePage {
  std::string_view name;  // lower case
  uint32_t code_page;
};

constexpr TNamedCodePage kNames[] = {
    {"us-ascii", 20127},    {"ascii", 20127},        {"koi8-r", 20866},    {"koi8r", 20866},
    {"koi8-u", 21866},      {"shift_jis", 932},      {"shift-jis", 932},   {"sjis", 932},
    {"x-sjis", 932},        {"ms_kanji", 932},       {"windows-31j", 932}, {"euc-jp", 20932},
    {"euc-kr", 51949},      {"ks_c_5601-1987", 949}, {"gb2312", 936},      {"gbk", 936},
    {"x-gbk", 936},         {"gb18030", 54936},      {"big5", 950},        {"macintosh", 10000},
    {"x-mac-roman", 10000}, {"latin1", 28591},       {"l1", 28591},        {"utf-8", 65001},
    {"utf8", 65001},
};

}  // namespace

uint32_t CodePageOfEncodingName(std::string_view name) {
  for (const TNamedCodePage& entry : kNames) {
    if (EqualsIgnoringCase(name, entry.name)) return entry.code_page;
  }
  for (std::string_view prefix : {"iso-8859-", "iso_8859-", "iso8859-"}) {
    if (!StartsWithIgnoringCase(name, prefix)) continue;
    const uint32_t part = Number(name.substr(prefix.size()));
    return part >= 1 && part <= 16 && part != 12 ? 28590 + part : 0;
  }
  for (std::string_view prefix : {"windows-", "x-cp", "cp", "ibm", "ms"}) {
    if (StartsWithIgnoringCase(name, prefix)) return Number(name.substr(prefix.size()));
  }
  return 0;
}

}  // namespace nolu
