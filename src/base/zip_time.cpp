#include "base/zip_time.h"

#include "base/format.h"
#include "base/zip_error.h"

namespace nolu {
namespace {

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

TZipTime TZipTime::FromLocalTime(int year, int month, int day, int hour, int minute, int second,
                                 std::optional<int64_t> unix_time) {
  // 60 is a leap second as some clocks report it.
  if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour < 0 ||
      hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 60) {
    throw EZipError(Format(u"Invalid archive time %d-%d-%d %d:%d:%d",
                           {year, month, day, hour, minute, second}));
  }
  if (year < 1980) {
    year = 1980, month = 1, day = 1, hour = 0, minute = 0, second = 0;
  } else if (year > 2107) {
    year = 2107, month = 12, day = 31, hour = 23, minute = 59, second = 58;
  }
  second = second > 59 ? 59 : second;
  TZipTime time;
  time.DosDate = static_cast<uint16_t>(((year - 1980) << 9) | (month << 5) | day);
  time.DosTime = static_cast<uint16_t>((hour << 11) | (minute << 5) | (second / 2));
  time.UnixTime = unix_time;
  return time;
}

}  // namespace nolu
