#include "base/code_page_names.h"

#include <gtest/gtest.h>

namespace nolu {
namespace {

TEST(CodePageNamesTest, NamesOfTheCommonEncodings) {
  struct Case {
    std::string_view name;
    uint32_t code_page;
  } cases[] = {
      {"windows-1251", 1251},
      {"Windows-1250", 1250},
      {"CP1251", 1251},
      {"x-cp1252", 1252},
      {"cp866", 866},
      {"IBM866", 866},
      {"ms936", 936},
      {"KOI8-R", 20866},
      {"koi8-u", 21866},
      {"ISO-8859-5", 28595},
      {"iso_8859-2", 28592},
      {"ISO8859-15", 28605},
      {"Shift_JIS", 932},
      {"EUC-JP", 20932},
      {"GB2312", 936},
      {"Big5", 950},
      {"US-ASCII", 20127},
      {"latin1", 28591},
      // Unknown or malformed names.
      {"koi7", 0},
      {"windows-", 0},
      {"cp", 0},
      {"cp12x", 0},
      {"iso-8859-12", 0},
      {"iso-8859-17", 0},
      {"x-klingon", 0},
      {"", 0},
      {"windows-1251 ", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CodePageOfEncodingName(c.name), c.code_page) << c.name;
  }
}

}  // namespace
}  // namespace nolu
