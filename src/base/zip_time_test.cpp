#include "base/zip_time.h"

#include <gtest/gtest.h>

#include "base/zip_error.h"

namespace nolu {
namespace {

uint16_t Date(int year, int month, int day) {
  return ((year - 1980) << 9) | (month << 5) | day;
}
uint16_t Time(int hour, int minute, int second) {
  return (hour << 11) | (minute << 5) | second / 2;
}

TEST(ZipTimeTest, FromLocalTime_PacksTheDosFields) {
  struct Case {
    int y, mo, d, h, mi, s;
    uint16_t date, time;
  };
  const Case cases[] = {
      {2024, 3, 5, 14, 7, 9, Date(2024, 3, 5), Time(14, 7, 8)},  // odd second rounds down
      {1980, 1, 1, 0, 0, 0, Date(1980, 1, 1), Time(0, 0, 0)},
      {2024, 2, 29, 23, 59, 59, Date(2024, 2, 29), Time(23, 59, 58)},    // leap day
      {2000, 2, 29, 12, 0, 0, Date(2000, 2, 29), Time(12, 0, 0)},        // leap century
      {2016, 12, 31, 23, 59, 60, Date(2016, 12, 31), Time(23, 59, 58)},  // leap second
      {2107, 12, 31, 23, 59, 58, Date(2107, 12, 31), Time(23, 59, 58)},  // last in range
      // Outside the format's years: the nearest end of the range.
      {1979, 12, 31, 23, 59, 59, Date(1980, 1, 1), Time(0, 0, 0)},
      {1601, 1, 1, 0, 0, 0, Date(1980, 1, 1), Time(0, 0, 0)},
      {2108, 1, 1, 0, 0, 0, Date(2107, 12, 31), Time(23, 59, 58)},
  };
  for (const Case& c : cases) {
    const TZipTime t = TZipTime::FromLocalTime(c.y, c.mo, c.d, c.h, c.mi, c.s);
    EXPECT_EQ(t.DosDate, c.date) << c.y << "-" << c.mo << "-" << c.d;
    EXPECT_EQ(t.DosTime, c.time) << c.h << ":" << c.mi << ":" << c.s;
    EXPECT_FALSE(t.UnixTime);
  }
  EXPECT_EQ(TZipTime::FromLocalTime(2024, 3, 5, 14, 7, 9, 1709644029).UnixTime, 1709644029);
}

TEST(ZipTimeTest, FromLocalTime_RejectsFieldsOutOfRange) {
  const int cases[][6] = {
      {2024, 0, 1, 0, 0, 0},  {2024, 13, 1, 0, 0, 0}, {2024, 4, 31, 0, 0, 0},
      {2023, 2, 29, 0, 0, 0}, {1900, 2, 29, 0, 0, 0}, {2024, 1, 0, 0, 0, 0},
      {2024, 1, 1, 24, 0, 0}, {2024, 1, 1, -1, 0, 0}, {2024, 1, 1, 0, 60, 0},
      {2024, 1, 1, 0, 0, 61}, {1970, 13, 1, 0, 0, 0},  // checked before clamping
  };
  for (const auto& c : cases) {
    try {
      TZipTime::FromLocalTime(c[0], c[1], c[2], c[3], c[4], c[5]);
      ADD_FAILURE() << "no error for " << c[0] << "-" << c[1] << "-" << c[2] << " " << c[3] << ":"
                    << c[4] << ":" << c[5];
    } catch (const EZipError& e) {
      EXPECT_TRUE(StartsWith(e.Message(), u"Invalid archive time ")) << e.what();
    }
  }
}

}  // namespace
}  // namespace nolu
