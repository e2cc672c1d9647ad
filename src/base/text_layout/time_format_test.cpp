#include "base/text_layout/time_format.h"

#include <gtest/gtest.h>

namespace nolu {
namespace {

TEST(TimeFormatTest, Parse) {
  struct Case {
    const char16_t* text;
    std::optional<int64_t> milliseconds;
  } cases[] = {
      {u"0:00", 0},
      {u"4:05", 245000},
      {u"04:05", 245000},
      {u"90:00", 5400000},  // minutes alone may pass 59
      {u"1:02:03", 3723000},
      {u"100:00:00", 360000000},
      {u"4:05.2", 245200},
      {u"4:05.25", 245250},
      {u"4:05.250", 245250},
      {u"1:02:03.999", 3723999},
      {u"999999999:59:59", int64_t{999999999} * 3600000 + 3599000},
      {u"4:5", std::nullopt},
      {u"4:60", std::nullopt},
      {u"4:005", std::nullopt},
      {u"1:60:00", std::nullopt},
      {u"1:2:03", std::nullopt},
      {u"1:02:03:04", std::nullopt},
      {u"4:05.", std::nullopt},
      {u"4:05.2500", std::nullopt},
      {u"4:05,2", std::nullopt},
      {u"1000000000:00", std::nullopt},  // ten leading digits
      {u"-4:05", std::nullopt},
      {u" 4:05", std::nullopt},
      {u"4:05 ", std::nullopt},
      {u"4", std::nullopt},
      {u"4:", std::nullopt},
      {u":05", std::nullopt},
      {u"", std::nullopt},
      {u"\uFF14:\uFF10\uFF15", std::nullopt},  // full-width digits
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TRuxTimeFormat::Parse(c.text), c.milliseconds) << StringToUtf8(c.text);
  }
}

}  // namespace
}  // namespace nolu
