#include "base/natural_compare.h"

#include <gtest/gtest.h>

namespace nolu {
namespace {

TEST(NaturalCompareTest, OrdersDigitRunsByValue) {
  struct Case {
    const char16_t* a;
    const char16_t* b;
    int sign;
  } cases[] = {
      {u"Lang9.lng", u"Lang10.lng", -1},
      {u"Lang10.lng", u"lang9.lng", 1},
      {u"a2b", u"a10a", -1},
      {u"file007", u"file7", 0},             // equal value, leading zeros ignored
      {u"Ｌａｎｇ９", u"Ｌａｎｇ１０", -1},  // full-width digits count as digits
      {u"v１０", u"v9", 1},
      {u"English.lng", u"german.lng", -1},  // letters ignore case
      {u"ABC", u"abc", 0},
      {u"x99999999999999999999999", u"x100000000000000000000000", -1},  // beyond 64 bits
      {u"abc", u"abc1", -1},
      {u"", u"a", -1},
  };
  for (const Case& c : cases) {
    const int r = CompareLogical(c.a, c.b);
    EXPECT_EQ((r > 0) - (r < 0), c.sign) << StringToUtf8(c.a) << " vs " << StringToUtf8(c.b);
    const int back = CompareLogical(c.b, c.a);
    EXPECT_EQ((back > 0) - (back < 0), -c.sign) << StringToUtf8(c.b);
  }
}

TEST(NaturalCompareTest, SortsLanguageNames) {
  StringList names = {u"Russian.lng", u"Lang10.lng", u"english.lng", u"Lang9.lng", u"German.lng"};
  SortLogical(names);
  EXPECT_EQ(names, (StringList{u"english.lng", u"German.lng", u"Lang9.lng", u"Lang10.lng",
                               u"Russian.lng"}));
}

}  // namespace
}  // namespace nolu
