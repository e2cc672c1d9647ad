#include "package/lzma_streams.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>

#include "base/errors.h"
#include "base/memory_stream.h"
#include "package/internal/lzma_codec.h"
#include "package/package_test_data.h"

namespace nolu {
namespace {

using package_internal::DecodeStream;
using package_internal::EncodeStream;
using package_internal::LevelProps;
using testing::MixedBytes;

Bytes Compress(const Bytes& plain, int level) {
  TMemoryStream source(plain), dest;
  LZMACompress(source, dest, level, {});
  return dest.TakeBytes();
}

// Decodes through the streams; a known size is decoded into memory as well, which must give
// the same bytes, whatever the stream holds.
Bytes Decompress(const Bytes& encoded, int64_t size) {
  TMemoryStream source(encoded), dest;
  LZMADecompress(source, dest, {}, size);
  if (size >= 0) {
    TMemoryStream again(encoded), in_memory;
    LZMADecompressToMemory(again, in_memory, {}, static_cast<uint32_t>(size));
    EXPECT_EQ(in_memory.Bytes(), dest.Bytes()) << "into memory, size " << size;
  }
  return dest.TakeBytes();
}

// Encodes with explicit settings through the codec seam; fails the test on a codec error.
Bytes CompressWith(const Bytes& plain, const CLzmaEncProps& props) {
  TMemoryStream source(plain), dest;
  TLZMAStreams streams{{}, &dest, {}, &source};
  EXPECT_EQ(EncodeStream(streams, props, package_internal::DefaultAllocator(), {}), lrOk);
  return dest.TakeBytes();
}

std::string LZMAErrorOf(void (*action)()) {
  try {
    action();
  } catch (const EInvalidOperation& e) {
    return e.what();
  }
  return "no error";
}

TEST(LZMAStreamsTest, RoundTripsAtEveryLevelAndAroundBlockBoundaries) {
  const size_t sizes[] = {0, 1, 65535, 65536, 65537, 300000};
  const int levels[] = {0, 2, 4, 5};  // 0: 16 KiB dictionary, wraps; 2: dictionary grows
  for (const size_t size : sizes) {
    const Bytes plain = MixedBytes(size, static_cast<uint32_t>(size));
    for (const int level : levels) {
      const Bytes encoded = Compress(plain, level);
      ASSERT_EQ(Decompress(encoded, static_cast<int64_t>(plain.size())), plain)
          << "size " << size << " level " << level;
    }
  }
}

TEST(LZMAStreamsTest, WritesPropertiesAndNoSizeField) {
  const Bytes encoded = Compress(MixedBytes(1000), 4);
  ASSERT_GE(encoded.size(), 5u);
  // lc 3, lp 0, pb 2 and a 4 MiB dictionary, then the range coder's first byte (always 0).
  EXPECT_EQ(Bytes(encoded.begin(), encoded.begin() + 6),
            (Bytes{0x5D, 0x00, 0x00, 0x40, 0x00, 0x00}));
}

TEST(LZMAStreamsTest, LevelsNormaliseAsTheTableSays) {
  struct Row {
    int level;
    uint32_t dictionary;
    int algo;  // 0 fast, 1 normal
    int fast_bytes;
    int bt_mode;  // 0 hash chain, 1 binary tree
    uint32_t cycles;
  };
  const Row rows[] = {
      {0, 1u << 14, 0, 32, 0, 16},  {1, 1u << 16, 0, 32, 0, 16}, {2, 1u << 18, 0, 32, 0, 16},
      {3, 1u << 20, 0, 32, 0, 16},  {4, 1u << 22, 0, 32, 0, 16}, {5, 1u << 24, 1, 32, 1, 32},
      {6, 1u << 25, 1, 32, 1, 32},  {7, 1u << 26, 1, 64, 1, 48}, {9, 1u << 26, 1, 64, 1, 48},
      {12, 1u << 26, 1, 64, 1, 48},  // above 6: 64 MiB, whatever the level
      {-1, 1u << 24, 1, 32, 1, 32},  // a negative level counts as 5
  };
  for (const Row& r : rows) {
    const CLzmaEncProps p = LevelProps(r.level);
    EXPECT_EQ(p.dictSize, r.dictionary) << r.level;
    EXPECT_EQ(p.algo, r.algo) << r.level;
    EXPECT_EQ(p.fb, r.fast_bytes) << r.level;
    EXPECT_EQ(p.btMode, r.bt_mode) << r.level;
    EXPECT_EQ(p.mc, r.cycles) << r.level;
    EXPECT_EQ(p.numHashBytes, 4) << r.level;
    EXPECT_EQ((std::tuple(p.lc, p.lp, p.pb)), std::tuple(3, 0, 2)) << r.level;
    EXPECT_EQ(p.writeEndMark, 0u) << r.level;
    EXPECT_EQ(p.numThreads, 1) << r.level;
  }
}

TEST(LZMAStreamsTest, StopsAtTheExpectedSizeWhateverFollows) {
  const Bytes plain = MixedBytes(70000, 5);
  CLzmaEncProps with_marker = LevelProps(1);
  with_marker.writeEndMark = 1;
  const Bytes marked = CompressWith(plain, with_marker);
  Bytes trailing = Compress(plain, 1);
  trailing.insert(trailing.end(), 5000, 0xA5);

  struct Case {
    const char* what;
    Bytes encoded;
  };
  const Case cases[] = {{"end marker after the data", marked}, {"bytes after the data", trailing}};
  for (const Case& c : cases) {
    EXPECT_EQ(Decompress(c.encoded, static_cast<int64_t>(plain.size())), plain) << c.what;
    // Asking for fewer bytes gives exactly those.
    EXPECT_EQ(Decompress(c.encoded, 1000), Bytes(plain.begin(), plain.begin() + 1000)) << c.what;
  }
}

TEST(LZMAStreamsTest, WithoutSizeDecodesToTheEndMarker) {
  const Bytes plain = MixedBytes(100000, 9);
  CLzmaEncProps props = LevelProps(4);
  props.writeEndMark = 1;
  Bytes encoded = CompressWith(plain, props);
  encoded.insert(encoded.end(), 100, 0x00);  // never read: the marker ends the stream
  EXPECT_EQ(Decompress(encoded, -1), plain);
}

TEST(LZMAStreamsTest, TruncatedOrShortStreamsDecodeShortWithoutRaising) {
  const Bytes plain = MixedBytes(200000, 11);
  const Bytes encoded = Compress(plain, 4);
  const size_t cuts[] = {0, 3, 5, 6, 100, encoded.size() / 2, encoded.size() - 1};
  for (const size_t cut : cuts) {
    const Bytes part(encoded.begin(), encoded.begin() + cut);
    const Bytes out = Decompress(part, static_cast<int64_t>(plain.size()));
    EXPECT_LT(out.size(), plain.size()) << cut;
    EXPECT_TRUE(std::equal(out.begin(), out.end(), plain.begin())) << cut;
    EXPECT_LT(Decompress(part, -1).size(), plain.size()) << cut;
  }
}

TEST(LZMAStreamsTest, PropertiesByte225OrMoreIsUnsupported) {
  for (const int byte : {225, 226, 255}) {
    Bytes encoded = Compress(MixedBytes(100), 4);
    encoded[0] = static_cast<uint8_t>(byte);
    try {
      Decompress(encoded, 100);
      ADD_FAILURE() << byte;
    } catch (const EInvalidOperation& e) {
      EXPECT_EQ(e.Message(), u"LZMA Error (4)") << byte;
    }
    TMemoryStream source(encoded), dest;
    try {
      LZMADecompressToMemory(source, dest, {}, 100);
      ADD_FAILURE() << "into memory " << byte;
    } catch (const EInvalidOperation& e) {
      EXPECT_EQ(e.Message(), u"LZMA Error (4)") << "into memory " << byte;
    }
  }
}

TEST(LZMAStreamsTest, DictionarySizeBelow4096IsRaised) {
  const Bytes plain = MixedBytes(4000, 2);
  CLzmaEncProps props = LevelProps(0);
  props.dictSize = 4096;
  Bytes encoded = CompressWith(plain, props);
  std::fill(encoded.begin() + 1, encoded.begin() + 5, 0);  // declares a 0-byte dictionary
  EXPECT_EQ(Decompress(encoded, 4000), plain);
}

// Counts what the codec allocates and can refuse allocations beyond a budget.
struct CountingAllocator {
  ISzAlloc vt{&Alloc, &Free};
  size_t largest = 0;
  size_t refuse_above = SIZE_MAX;

  static void* Alloc(void* p, size_t size) {
    auto* self = static_cast<CountingAllocator*>(p);
    if (size > self->refuse_above) return nullptr;
    self->largest = std::max(self->largest, size);
    return std::malloc(size);
  }
  static void Free(void*, void* address) { std::free(address); }
};

TEST(LZMAStreamsTest, DeclaredDictionaryCostsNothingUntilTheDataIsThere) {
  const Bytes plain = MixedBytes(3000, 4);
  Bytes encoded = Compress(plain, 0);
  std::fill(encoded.begin() + 1, encoded.begin() + 5, 0xFF);  // declares a 4 GiB dictionary
  for (const int64_t size : {int64_t{-1}, int64_t{0xFFFFFFFF}}) {
    CountingAllocator alloc;
    TMemoryStream source(encoded), dest;
    TLZMAStreams streams{{}, &dest, {}, &source};
    DecodeStream(streams, size, &alloc.vt);
    EXPECT_EQ(dest.Bytes(), plain) << size;
    EXPECT_LE(alloc.largest, kLZMABlockSize) << size;
  }
}

TEST(LZMAStreamsTest, DecodingIntoMemoryKeepsNoDictionaryAndReservesOnce) {
  // A 4 MiB dictionary declared, 300000 bytes to decode.
  const Bytes plain = MixedBytes(300000, 6);
  const Bytes encoded = Compress(plain, 4);
  CountingAllocator alloc;
  TMemoryStream source(encoded);
  TMemoryStream dest(Bytes(10, 0xEE));  // replaced, not appended to
  TLZMAStreams streams{{}, nullptr, {}, &source};
  ASSERT_EQ(package_internal::DecodeIntoMemory(streams, dest, static_cast<uint32_t>(plain.size()),
                                               &alloc.vt),
            lrOk);
  EXPECT_EQ(dest.Bytes(), plain);
  // The codec got its probability model only; the output was reserved once at its size.
  EXPECT_LT(alloc.largest, kLZMABlockSize);
  EXPECT_EQ(dest.Bytes().capacity(), plain.size());

  // The model itself may be refused: code 2, and nothing is decoded.
  alloc.refuse_above = 1000;
  TMemoryStream again(encoded), refused;
  TLZMAStreams streams2{{}, nullptr, {}, &again};
  EXPECT_EQ(package_internal::DecodeIntoMemory(streams2, refused, 300000, &alloc.vt),
            lrOutOfMemory);
  EXPECT_EQ(refused.Size(), 0);
}

TEST(LZMAStreamsTest, OutOfMemoryIsCode2BothWays) {
  const Bytes plain = MixedBytes(10000, 8);
  const Bytes encoded = Compress(plain, 4);
  CountingAllocator alloc;
  alloc.refuse_above = 1000;
  TMemoryStream source(encoded), dest;
  TLZMAStreams decode{{}, &dest, {}, &source};
  EXPECT_EQ(DecodeStream(decode, 10000, &alloc.vt), lrOutOfMemory);

  TMemoryStream plain_source(plain), encoded_dest;
  TLZMAStreams encode{{}, &encoded_dest, {}, &plain_source};
  EXPECT_EQ(EncodeStream(encode, LevelProps(4), &alloc.vt, {}), lrOutOfMemory);

  EXPECT_EQ(LZMAErrorOf([] { package_internal::RaiseLZMAError(lrOutOfMemory); }), "LZMA Error (2)");
}

TEST(LZMAStreamsTest, SettingsOutOfRangeAreCode5) {
  struct Case {
    const char* what;
    void (*change)(CLzmaEncProps&);
  };
  const Case cases[] = {
      {"lc 9", [](CLzmaEncProps& p) { p.lc = 9; }},
      {"lp 5", [](CLzmaEncProps& p) { p.lp = 5; }},
      {"pb 5", [](CLzmaEncProps& p) { p.pb = 5; }},
      {"dictionary above 128 MiB", [](CLzmaEncProps& p) { p.dictSize = (1u << 27) + 1; }},
  };
  for (const Case& c : cases) {
    CLzmaEncProps props = LevelProps(4);
    c.change(props);
    TMemoryStream source(MixedBytes(10)), dest;
    TLZMAStreams streams{{}, &dest, {}, &source};
    EXPECT_EQ(EncodeStream(streams, props, package_internal::DefaultAllocator(), {}), lrParamError)
        << c.what;
    EXPECT_EQ(dest.Size(), 0) << c.what;
  }
}

TEST(LZMAStreamsTest, DestinationThatAcceptsFewerBytesIsCode9) {
  const Bytes plain = MixedBytes(300000, 12);
  const Bytes encoded = Compress(plain, 4);
  for (const size_t limit : {size_t{0}, size_t{3}, size_t{5000}}) {
    TMemoryStream source(plain);
    testing::TLimitedStream dest(limit);
    try {
      LZMACompress(source, dest, 4, {});
      ADD_FAILURE() << limit;
    } catch (const EInvalidOperation& e) {
      EXPECT_EQ(e.Message(), u"LZMA Error (9)") << limit;
    }
  }
  TMemoryStream source(encoded);
  testing::TLimitedStream dest(100000);
  try {
    LZMADecompress(source, dest, {}, static_cast<int64_t>(plain.size()));
    ADD_FAILURE();
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), u"LZMA Error (9)");
  }
}

TEST(LZMAStreamsTest, StreamErrorsInsideTheCodecReachTheCaller) {
  const Bytes plain = MixedBytes(300000, 13);
  const Bytes encoded = Compress(plain, 4);
  struct Case {
    const char* what;
    bool compress;
    bool source_fails;
  };
  const Case cases[] = {{"encoder source", true, true},
                        {"encoder destination", true, false},
                        {"decoder source", false, true},
                        {"decoder destination", false, false}};
  for (const Case& c : cases) {
    const Bytes& input = c.compress ? plain : encoded;
    testing::TFailingStream failing_source(input, c.source_fails ? 70000 : SIZE_MAX);
    testing::TFailingStream failing_dest({}, c.source_fails ? SIZE_MAX : 70000);
    try {
      if (c.compress) {
        LZMACompress(failing_source, failing_dest, 4, {});
      } else {
        LZMADecompress(failing_source, failing_dest, {}, static_cast<int64_t>(plain.size()));
      }
      ADD_FAILURE() << c.what;
    } catch (const EStreamError& e) {
      EXPECT_EQ(e.Message(), u"the medium failed") << c.what;
    }
  }
}

TEST(LZMAStreamsTest, ProgressIsReportedAndMayCancel) {
  const Bytes plain = MixedBytes(2000000, 14);
  TMemoryStream source(plain), dest;
  uint64_t last_in = 0;
  int calls = 0;
  LZMACompress(source, dest, 0, {}, [&](uint64_t in, uint64_t) {
    EXPECT_GE(in, last_in);
    last_in = in;
    ++calls;
  });
  EXPECT_GT(calls, 1);
  EXPECT_LE(last_in, plain.size());

  TMemoryStream source2(plain), dest2;
  EXPECT_THROW(LZMACompress(source2, dest2, 0, {},
                            [](uint64_t, uint64_t) { throw EStreamError(u"cancelled"); }),
               EStreamError);
}

TEST(LZMAStreamsTest, PreprocessorsSeeExactlyTheBytesOnTheirSide) {
  const Bytes plain = MixedBytes(150000, 15);
  auto invert = [](uint8_t* buffer, int32_t count) {
    for (int32_t i = 0; i < count; ++i)
      buffer[i] ^= 0xFF;
  };
  TMemoryStream source(plain), inverted;
  LZMACompress(source, inverted, 4, invert);
  Bytes expected = Compress(plain, 4);
  for (uint8_t& b : expected)
    b ^= 0xFF;
  EXPECT_EQ(inverted.Bytes(), expected);

  inverted.SetPosition(0);
  TMemoryStream restored;
  LZMADecompress(inverted, restored, invert, static_cast<int64_t>(plain.size()));
  EXPECT_EQ(restored.Bytes(), plain);
}

}  // namespace
}  // namespace nolu
