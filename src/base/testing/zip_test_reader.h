// A strict reader of zip archives for tests: it checks what the writer promises (one entry
// after another without gaps, local headers and data descriptors that agree with the central
// directory, Zip64 fields exactly where a value does not fit, data that inflates to the
// recorded size and CRC) and throws std::runtime_error naming the first disagreement. The
// outside readers (unzip, Python's zipfile) check the same archives in the host tests.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/text.h"

namespace nolu::testing {

struct TestZipEntry {
  std::string name;
  uint16_t version_made_by = 0;
  uint16_t version_needed = 0;
  uint16_t flags = 0;
  uint16_t method = 0;
  uint16_t dos_time = 0;
  uint16_t dos_date = 0;
  uint32_t crc = 0;
  uint64_t compressed_size = 0;
  uint64_t size = 0;
  uint64_t offset = 0;
  bool central_zip64 = false;         // the central record has a Zip64 field
  bool local_zip64 = false;           // the local header has a Zip64 field
  std::optional<uint32_t> unix_time;  // the extended timestamp
  Bytes data;                         // filled by ReadZipForTest
};

struct TestZipArchive {
  std::vector<TestZipEntry> entries;
  bool zip64_end = false;  // the Zip64 end record and locator are present
  uint64_t directory_offset = 0;
  uint64_t directory_size = 0;
};

// Reads the end records and the central directory. `tail` holds the archive's last bytes,
// which begin at archive offset `tail_offset` and must include the whole central directory.
TestZipArchive ReadZipDirectoryForTest(const Bytes& tail, uint64_t tail_offset = 0);

// Reads a whole archive: the directory, then every local header, its data and descriptor.
TestZipArchive ReadZipForTest(const Bytes& archive);

}  // namespace nolu::testing
