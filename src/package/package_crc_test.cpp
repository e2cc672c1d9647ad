#include "package/package_crc.h"

#include <gtest/gtest.h>

#include <string_view>

#include "package/package_test_data.h"

namespace nolu {
namespace {

// The checksum straight from its definition: shift register, one bit at a time.
uint32_t BitwiseCrc(const uint8_t* data, size_t count) {
  uint32_t crc = 0;
  for (size_t i = 0; i < count; ++i) {
    crc ^= uint32_t{data[i]} << 24;
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7 : crc << 1;
  }
  return crc;
}

TEST(PackageCrcTest, KnownValues) {
  struct Case {
    std::string_view text;
    uint32_t crc;
  };
  const Case cases[] = {
      {"", 0},
      {"123456789", 0x89A1897F},             // the variant's check value
      {std::string_view("\0\0\0\0", 4), 0},  // initial value 0 and no final XOR: zeros stay 0
      {"\x01", 0x04C11DB7},                  // no reflection: one set low bit gives the polynomial
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PackageCrc(c.text.data(), c.text.size()), c.crc) << c.text;
  }
}

TEST(PackageCrcTest, ChecksumTextIsEightUpperCaseHexDigits) {
  EXPECT_EQ(ChecksumText(0x89A1897F), u"0x89A1897F");
  EXPECT_EQ(ChecksumText(0x00000C0D), u"0x00000C0D");
}

TEST(PackageCrcTest, AgreesWithTheBitwiseDefinitionAtEveryLengthAndAlignment) {
  const Bytes data = testing::MixedBytes(600, 7);
  for (size_t offset = 0; offset < 8; ++offset) {
    for (size_t length = 0; offset + length <= 100; ++length) {
      ASSERT_EQ(PackageCrc(data.data() + offset, length), BitwiseCrc(data.data() + offset, length))
          << "offset " << offset << " length " << length;
    }
  }
  EXPECT_EQ(PackageCrc(data.data(), data.size()), BitwiseCrc(data.data(), data.size()));
}

TEST(PackageCrcTest, UpdatingInPiecesEqualsOneCall) {
  const Bytes data = testing::MixedBytes(257, 3);
  const uint32_t whole = PackageCrc(data.data(), data.size());
  for (size_t split = 0; split <= data.size(); ++split) {
    const uint32_t first = PackageCrc(data.data(), split);
    ASSERT_EQ(UpdatePackageCrc(first, data.data() + split, data.size() - split), whole) << split;
  }
}

}  // namespace
}  // namespace nolu
