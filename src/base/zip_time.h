// TZipTime: the moment that every entry of a backup archive carries.
//
// The DOS date and time are the zip format's own fields: local time without a zone, in steps
// of two seconds, years 1980 to 2107. UnixTime, when given, is the same moment in seconds since
// 1970-01-01 UTC and is written as the extended timestamp field as well; readers that know that
// field prefer it, because it names the moment exactly whatever the zone of the machine that
// extracts the archive.
#pragma once

#include <cstdint>
#include <optional>

namespace nolu {

struct TZipTime {
  uint16_t DosDate = (1 << 5) | 1;  // 1980-01-01
  uint16_t DosTime = 0;             // 00:00:00
  std::optional<int64_t> UnixTime;

  // Packs a local time; an odd second is rounded down. Times before 1980 become the first
  // moment of 1980 and times after 2107 the last one the format holds, since a backup must not
  // fail over a wrong clock. A field outside its range (month 13, 31 April, hour 24) raises
  // EZipError.
  static TZipTime FromLocalTime(int year, int month, int day, int hour, int minute, int second,
                                std::optional<int64_t> unix_time = std::nullopt);
};

}  // namespace nolu
