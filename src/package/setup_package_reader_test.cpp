#include "package/setup_package_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/errors.h"
#include "base/memory_stream.h"
#include "package/internal/lzma_codec.h"
#include "package/package_test_data.h"
#include "package/setup_package_builder.h"
#include "package/setup_package_read_error.h"

namespace nolu {
namespace {

using testing::MixedBytes;
using testing::PackageAround;

Bytes ValidPackage() {
  TSetupPackageBuilder builder(TSetupPackageScrambler::kDefaultKey);
  TMemoryStream a(MixedBytes(40000, 1)), b(MixedBytes(100, 2));
  builder.Add(a, u"a.bin");
  builder.Add(b, u"b.txt");
  TMemoryStream file;
  builder.Commit(file, 4);
  return file.TakeBytes();
}

// What reading the bytes raised: the error's class and message, or "ok".
std::string ReadOutcome(const Bytes& bytes) {
  TMemoryStream stream(bytes);
  try {
    TSetupPackageReader reader(stream);
    return "ok";
  } catch (const ESetupPackageReadError& e) {
    return "corrupted: " + std::string(e.what());
  } catch (const EReadError& e) {
    return "read: " + std::string(e.what());
  } catch (const EInvalidOperation& e) {
    return "invalid: " + std::string(e.what());
  }
}

const std::string kCorrupted = "corrupted: Package was corrupted";
const std::string kReadError = "read: Stream read error";

TEST(SetupPackageReaderTest, ReadsFromTheSourcePositionToItsEnd) {
  const Bytes package = ValidPackage();
  Bytes embedded = {'M', 'Z', 0, 1, 2};
  embedded.insert(embedded.end(), package.begin(), package.end());
  TMemoryStream stream(embedded);
  stream.SetPosition(5);
  const TSetupPackageReader reader(stream);
  EXPECT_EQ(reader.FileTable().Count(), 2);
  EXPECT_TRUE(reader.Contains(u"B.TXT"));
}

TEST(SetupPackageReaderTest, SourceShorterThanTheHeaderIsAStreamReadError) {
  const Bytes package = ValidPackage();
  for (size_t length = 0; length < 12; ++length) {
    EXPECT_EQ(ReadOutcome(Bytes(package.begin(), package.begin() + length)), kReadError) << length;
  }
}

TEST(SetupPackageReaderTest, WrongMagicInAnyByteFailsBeforeDecoding) {
  for (size_t i = 0; i < 4; ++i) {
    Bytes package = ValidPackage();
    package[i] ^= 0x20;  // "iPK5", "IpK5", ...
    // Properties that the decoder would refuse with "LZMA Error (4)", had it been called.
    package[12] = 0xFF ^ '7';
    EXPECT_EQ(ReadOutcome(package), kCorrupted) << i;
  }
}

TEST(SetupPackageReaderTest, HeaderThatDisagreesWithTheBodyIsCorrupted) {
  struct Case {
    const char* what;
    size_t index;
    uint8_t delta;
  };
  const Case cases[] = {
      {"checksum byte 0", 4, 1},        {"checksum byte 1", 5, 0x80}, {"checksum byte 2", 6, 1},
      {"checksum byte 3", 7, 0x10},     {"decoded size + 1", 8, 1},   {"decoded size - 1", 8, 0xFF},
      {"decoded size + 16 MiB", 11, 1},
  };
  for (const Case& c : cases) {
    Bytes package = ValidPackage();
    package[c.index] = static_cast<uint8_t>(package[c.index] + c.delta);
    EXPECT_EQ(ReadOutcome(package), kCorrupted) << c.what;
  }
}

TEST(SetupPackageReaderTest, TruncatedBodyIsCorrupted) {
  const Bytes package = ValidPackage();
  for (const size_t length :
       {size_t{12}, size_t{13}, size_t{17}, package.size() / 2, package.size() - 1}) {
    EXPECT_EQ(ReadOutcome(Bytes(package.begin(), package.begin() + length)), kCorrupted) << length;
  }
}

TEST(SetupPackageReaderTest, BytesAfterTheEncodedBodyAreIgnored) {
  Bytes package = ValidPackage();
  package.insert(package.end(), 3000, 0x5A);
  TMemoryStream stream(package);
  const TSetupPackageReader reader(stream);
  std::unique_ptr<TMemoryStream> b;
  ASSERT_TRUE(reader.Extract(u"b.txt", b));
  EXPECT_EQ(b->Bytes(), MixedBytes(100, 2));
}

TEST(SetupPackageReaderTest, UnsupportedPropertiesAreLZMAError4) {
  Bytes package = ValidPackage();
  package[12] = 225 ^ '7';  // 225 once descrambled with key byte '7'
  EXPECT_EQ(ReadOutcome(package), "invalid: LZMA Error (4)");
}

TEST(SetupPackageReaderTest, ReasonTellsWhichCheckFailed) {
  Bytes package = ValidPackage();
  package[4] ^= 1;
  TMemoryStream stream(package);
  try {
    TSetupPackageReader reader(stream);
    FAIL();
  } catch (const ESetupPackageReadError& e) {
    EXPECT_NE(e.Reason().find(u"checksum"), String::npos) << StringToUtf8(e.Reason());
  }
}

// Bodies made by hand with a valid header and checksum around them: only the file table
// stands between them and the reader.
Bytes Le32(int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  return {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u >> 16),
          static_cast<uint8_t>(u >> 24)};
}

Bytes Le64(int64_t v) {
  Bytes b = Le32(static_cast<int32_t>(v));
  const Bytes high = Le32(static_cast<int32_t>(static_cast<uint64_t>(v) >> 32));
  b.insert(b.end(), high.begin(), high.end());
  return b;
}

// Entry data "abcdef", then a table of `count` and `records`, then `table_size` (or the true
// size when it is INT32_MIN).
Bytes Body(int32_t count, const std::vector<Bytes>& records, int32_t table_size = INT32_MIN) {
  TMemoryStream body;
  body.WriteBuffer("abcdef", 6);
  body.WriteBuffer(Le32(count).data(), 4);
  for (const Bytes& r : records)
    body.WriteBuffer(r.data(), r.size());
  const auto true_size = static_cast<int32_t>(body.Size() - 6);
  body.WriteBuffer(Le32(table_size == INT32_MIN ? true_size : table_size).data(), 4);
  return body.TakeBytes();
}

Bytes Record(const std::string& name, int64_t offset, int64_t size) {
  Bytes r = {static_cast<uint8_t>(name.size()), static_cast<uint8_t>(name.size() >> 8)};
  for (const char c : name)
    r.insert(r.end(), {static_cast<uint8_t>(c), 0});
  const Bytes o = Le64(offset), s = Le64(size);
  r.insert(r.end(), o.begin(), o.end());
  r.insert(r.end(), s.begin(), s.end());
  return r;
}

TEST(SetupPackageReaderTest, FileTablesThatFitTheBodyAreAccepted) {
  struct Case {
    const char* what;
    Bytes body;
    int count;
  };
  const Case cases[] = {
      {"empty table", Body(0, {}), 0},
      {"negative count reads as empty", Body(-5, {}), 0},
      {"entries in any order", Body(2, {Record("x", 3, 3), Record("y", 0, 3)}), 2},
      {"entries sharing bytes", Body(2, {Record("x", 0, 6), Record("y", 2, 2)}), 2},
      {"entry ending at the table", Body(1, {Record("x", 6, 0)}), 1},
  };
  for (const Case& c : cases) {
    TMemoryStream stream(PackageAround(c.body));
    const TSetupPackageReader reader(stream);
    EXPECT_EQ(reader.FileTable().Count(), c.count) << c.what;
  }
}

TEST(SetupPackageReaderTest, FileTablesThatDoNotFitTheBodyAreRefused) {
  struct Case {
    const char* what;
    Bytes body;
    std::string outcome;
  };
  const Case cases[] = {
      {"no table size", {1, 2, 3}, kReadError},
      {"empty body", {}, kReadError},
      {"table size 0", Body(0, {}, 0), kCorrupted},
      {"table size smaller than its count", Body(0, {}, 3), kCorrupted},
      {"negative table size", Body(0, {}, -1), kCorrupted},
      {"table larger than the body", Body(0, {}, 11), kCorrupted},
      {"table size INT32_MAX", Body(0, {}, INT32_MAX), kCorrupted},
      {"records missing", Body(1, {}), kReadError},
      {"count far beyond the table", Body(INT32_MAX, {}), kReadError},
      {"name running past the table", Body(1, {Bytes{200, 0, 'x', 0}}), kReadError},
      {"record cut short", Body(1, {Bytes{0, 0, 1, 2, 3}}), kReadError},
      {"bytes after the last record", Body(1, {Record("x", 0, 1), Bytes{0}}), kCorrupted},
      {"records shorter than the table size", Body(0, {Record("x", 0, 1)}), kCorrupted},
      {"negative offset", Body(1, {Record("x", -1, 1)}), kCorrupted},
      {"negative size", Body(1, {Record("x", 0, -1)}), kCorrupted},
      {"range into the table", Body(1, {Record("x", 4, 3)}), kCorrupted},
      {"offset past the entry data", Body(1, {Record("x", 7, 0)}), kCorrupted},
      {"range overflowing 64 bits", Body(1, {Record("x", 2, INT64_MAX)}), kCorrupted},
      {"offset overflowing 64 bits", Body(1, {Record("x", INT64_MAX, 2)}), kCorrupted},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadOutcome(PackageAround(c.body)), c.outcome) << c.what;
  }
}

TEST(SetupPackageReaderTest, ClaimedSizeBeyondTheDataIsCorrupted) {
  Bytes package = PackageAround(Body(0, {}));
  for (const uint32_t claimed : {0x7FFFFFFFu, 0xFFFFFFFFu}) {
    for (int i = 0; i < 4; ++i)
      package[8 + i] = static_cast<uint8_t>(claimed >> (8 * i));
    EXPECT_EQ(ReadOutcome(package), kCorrupted) << claimed;
  }
  // Refused for what the header claims, before any decoding.
  TMemoryStream stream(package);
  try {
    TSetupPackageReader reader(stream);
    FAIL();
  } catch (const ESetupPackageReadError& e) {
    EXPECT_NE(e.Reason().find(u"encoded bytes hold"), String::npos) << StringToUtf8(e.Reason());
  }
}

TEST(SetupPackageReaderTest, MaxDecodedSizeBoundsTheMostCompressibleStream) {
  // Zeros with the longest matches the encoder can write: the best ratio LZMA reaches.
  const Bytes zeros(16 << 20, 0);
  CLzmaEncProps props = package_internal::LevelProps(1);
  props.fb = 273;
  TMemoryStream source(zeros), encoded;
  TLZMAStreams streams{{}, &encoded, {}, &source};
  ASSERT_EQ(
      package_internal::EncodeStream(streams, props, package_internal::DefaultAllocator(), {}),
      lrOk);
  EXPECT_GE(TSetupPackageReader::MaxDecodedSize(static_cast<uint64_t>(encoded.Size())),
            zeros.size());
  // ... and the bound stays within a small factor of what happens.
  EXPECT_LE(TSetupPackageReader::MaxDecodedSize(static_cast<uint64_t>(encoded.Size())),
            zeros.size() * 2);
}

}  // namespace
}  // namespace nolu
