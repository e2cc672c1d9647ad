#include "base/zip_writer.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "base/memory_stream.h"
#include "base/testing/counting_stream.h"
#include "base/testing/synthetic_stream.h"
#include "base/testing/zip_test_reader.h"
#include "base/zip_error.h"

namespace nolu {
namespace {

using testing::ReadZipDirectoryForTest;
using testing::ReadZipForTest;
using testing::SyntheticData;
using testing::TCountingStream;
using testing::TestZipArchive;
using testing::TSyntheticStream;

constexpr size_t kChunk = TStream::kCopyChunk;
constexpr uint16_t kFlagDescriptor = 1 << 3;
constexpr uint16_t kFlagUtf8 = 1 << 11;

// 14:07:09 local on 5 March 2024, 13:07:09 UTC.
const TZipTime kTime = TZipTime::FromLocalTime(2024, 3, 5, 14, 7, 9, 1709644029);

Bytes Text(size_t size) {
  std::string text;
  for (int line = 0; text.size() < size; ++line) {
    text += "Key" + std::to_string(line % 97) + "=value of line " + std::to_string(line) + "\r\n";
  }
  text.resize(size);
  return Bytes(text.begin(), text.end());
}

Bytes Noise(size_t size) {
  return testing::SyntheticBytes(size, SyntheticData::kNoise);
}

void Add(TZipWriter& writer, StringView name, const Bytes& data) {
  TMemoryStream source(data);
  writer.AddEntry(name, source);
}

TestZipArchive Finish(TZipWriter& writer, TMemoryStream& archive) {
  writer.Finish();
  return ReadZipForTest(archive.Bytes());
}

TEST(ZipWriterTest, Contents_RoundTripWithTheMethodAndLayoutTheirSizeCalls) {
  struct Case {
    const char* what;
    Bytes data;
    uint16_t method;
    bool descriptor;
  };
  const Case cases[] = {
      {"empty", {}, 0, false},
      {"one byte", {'x'}, 0, false},  // Deflate would make it larger
      {"short text", Text(1000), 8, false},
      {"noise", Noise(5000), 0, false},
      {"one byte short of a chunk", Text(kChunk - 1), 8, false},
      // A full first chunk cannot tell whether more follows: the entry is streamed.
      {"exactly a chunk", Text(kChunk), 8, true},
      {"a chunk and a byte", Text(kChunk + 1), 8, true},
      {"several chunks", Text(3 * kChunk + 12345), 8, true},
      {"noise over chunks", Noise(2 * kChunk + 7), 8, true},
  };
  TMemoryStream archive;
  TZipWriter writer(archive, kTime);
  for (const Case& c : cases)
    Add(writer, AsciiToString(c.what), c.data);
  const TestZipArchive read = Finish(writer, archive);

  ASSERT_EQ(read.entries.size(), std::size(cases));
  EXPECT_FALSE(read.zip64_end);
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    const auto& e = read.entries[i];
    SCOPED_TRACE(c.what);
    EXPECT_EQ(e.name, c.what);
    EXPECT_TRUE(e.data == c.data);
    EXPECT_EQ(e.method, c.method);
    EXPECT_EQ((e.flags & kFlagDescriptor) != 0, c.descriptor);
    EXPECT_EQ(e.flags & kFlagUtf8, kFlagUtf8);
    EXPECT_EQ(e.version_needed, c.method == 8 ? 20 : 10);
    EXPECT_EQ(e.version_made_by, 63);
    EXPECT_FALSE(e.local_zip64);
    EXPECT_FALSE(e.central_zip64);
    if (c.data.size() > 1000 && c.data[0] == 'K') {
      EXPECT_LT(e.compressed_size, e.size / 3);  // the text shrinks
    }
  }
  EXPECT_EQ(writer.EntryCount(), std::size(cases));
  EXPECT_EQ(writer.BytesWritten(), archive.Bytes().size());
}

TEST(ZipWriterTest, EveryDeflateLevelRoundTrips) {
  const Bytes data = Text(2 * kChunk + 99);
  for (int level = 0; level <= 9; ++level) {
    TMemoryStream archive;
    TZipWriter writer(archive, kTime, level);
    Add(writer, u"a.txt", data);
    Add(writer, u"b.txt", Text(3000));
    const TestZipArchive read = Finish(writer, archive);
    ASSERT_EQ(read.entries.size(), 2u) << level;
    EXPECT_TRUE(read.entries[0].data == data) << level;
    EXPECT_TRUE(read.entries[1].data == Text(3000)) << level;
  }
  TMemoryStream archive;
  for (int level : {-1, 10}) {
    try {
      TZipWriter writer(archive, kTime, level);
      ADD_FAILURE() << level;
    } catch (const EZipError& e) {
      EXPECT_EQ(e.Message(), u"Invalid Deflate level " + IntToStr(level));
    }
  }
}

TEST(ZipWriterTest, Names_StoredAsUtf8WithForwardSlashes) {
  struct Case {
    const char16_t* name;
    const char* stored;
  };
  const Case cases[] = {
      {u"Nolu.ini", "Nolu.ini"},
      {u"Program\\Skins\\Dark\\skin.xml", "Program/Skins/Dark/skin.xml"},
      {u"Profiles/Anna/Nolu.ini", "Profiles/Anna/Nolu.ini"},
      {u"Profiles\\Анна\\Плейлист.m3u8",
       "Profiles/\xD0\x90\xD0\xBD\xD0\xBD\xD0\xB0/"
       "\xD0\x9F\xD0\xBB\xD0\xB5\xD0\xB9\xD0\xBB\xD0\xB8\xD1\x81\xD1\x82.m3u8"},
      {u"Program\\Größe & Maße.txt",
       "Program/Gr\xC3\xB6\xC3\x9F"
       "e & Ma\xC3\x9F"
       "e.txt"},
      {u"Program\\日本語.lng", "Program/\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.lng"},
      {u"\U0001F3B5 music.txt", "\xF0\x9F\x8E\xB5 music.txt"},  // a surrogate pair
      {u"a\\...\\.hidden", "a/.../.hidden"},                    // only "." and ".." are special
  };
  TMemoryStream archive;
  TZipWriter writer(archive, kTime);
  for (const Case& c : cases)
    Add(writer, c.name, Text(10));
  // An unpaired surrogate, possible in an NTFS name, becomes U+FFFD.
  Add(writer, u"Profiles\xD800x", Text(10));
  const TestZipArchive read = Finish(writer, archive);
  ASSERT_EQ(read.entries.size(), std::size(cases) + 1);
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(read.entries[i].name, cases[i].stored);
    EXPECT_EQ(read.entries[i].flags & kFlagUtf8, kFlagUtf8);
  }
  EXPECT_EQ(read.entries.back().name, "Profiles\xEF\xBF\xBDx");
}

TEST(ZipWriterTest, Names_ThatAreNoRelativeFilePathAreRefusedAndTheArchiveGoesOn) {
  const String long_name(0x10000, u'a');
  const StringView cases[] = {
      u"",
      u"\\Windows\\win.ini",
      u"/etc/passwd",
      u"a\\",
      u"a\\\\b",
      u"..\\x",
      u"a\\..\\..\\x",
      u".\\a",
      u".",
      u"C:\\x",
      u"C:x",
      u"a:stream",
      u"tab\there",
      StringView(u"nul\0here", 8),
      long_name,
      u"\\\\server\\share\\x",
  };
  TMemoryStream archive;
  TZipWriter writer(archive, kTime);
  Add(writer, u"before.txt", Text(100));
  for (StringView name : cases) {
    TMemoryStream source(Text(10));
    try {
      writer.AddEntry(name, source);
      ADD_FAILURE() << StringToUtf8(name.substr(0, 40));
    } catch (const EZipError& e) {
      const bool too_long = name.size() > 0xFFFF;
      EXPECT_TRUE(StartsWith(e.Message(), too_long ? u"Name \"" : u"Invalid name \"")) << e.what();
    }
  }
  Add(writer, u"after.txt", Text(100));
  const TestZipArchive read = Finish(writer, archive);
  ASSERT_EQ(read.entries.size(), 2u);
  EXPECT_EQ(read.entries[1].name, "after.txt");
}

TEST(ZipWriterTest, Names_MayRepeat) {
  // Two users whose profile folders share their last part meet under one "Profiles\" name.
  TMemoryStream archive;
  TZipWriter writer(archive, kTime);
  Add(writer, u"Profiles\\Anna\\Nolu.ini", Text(10));
  Add(writer, u"Profiles\\Anna\\Nolu.ini", Text(20));
  const TestZipArchive read = Finish(writer, archive);
  ASSERT_EQ(read.entries.size(), 2u);
  EXPECT_EQ(read.entries[0].name, read.entries[1].name);
  EXPECT_EQ(read.entries[1].size, 20u);
}

TEST(ZipWriterTest, Time_EveryEntryCarriesTheBackupTime) {
  struct Case {
    std::optional<int64_t> unix_time;
    std::optional<uint32_t> field;
  };
  const Case cases[] = {
      {1709644029, 1709644029},
      {std::nullopt, std::nullopt},
      {int64_t{1} << 31, std::nullopt},  // past 2038: the field's 32 bits cannot hold it
      {-1, std::nullopt},
  };
  for (const Case& c : cases) {
    const TZipTime time = TZipTime::FromLocalTime(2024, 3, 5, 14, 7, 9, c.unix_time);
    TMemoryStream archive;
    TZipWriter writer(archive, time);
    Add(writer, u"whole.txt", Text(10));
    Add(writer, u"streamed.txt", Text(kChunk + 10));
    const TestZipArchive read = Finish(writer, archive);
    for (const auto& e : read.entries) {
      EXPECT_EQ(e.dos_date, (44 << 9) | (3 << 5) | 5);
      EXPECT_EQ(e.dos_time, (14 << 11) | (7 << 5) | 4);
      EXPECT_EQ(e.unix_time, c.field);  // the reader also compares the local field
    }
  }
}

TEST(ZipWriterTest, EmptyArchive_IsJustTheEndRecord) {
  TMemoryStream archive;
  TZipWriter writer(archive, kTime);
  const TestZipArchive read = Finish(writer, archive);
  EXPECT_TRUE(read.entries.empty());
  const Bytes expected = {'P', 'K', 5, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_TRUE(archive.Bytes() == expected);
}

TEST(ZipWriterTest, EntryCount_FromTheFormatsMarkerOn_UsesZip64EndRecords) {
  struct Case {
    size_t entries;
    bool zip64;
  };
  const Case cases[] = {
      {0xFFFE, false},
      {0xFFFF, true},  // equals the marker, so the real count goes into the Zip64 record
  };
  for (const Case& c : cases) {
    TCountingStream archive;
    TZipWriter writer(archive, kTime);
    const Bytes data;
    for (size_t i = 0; i < c.entries; ++i) {
      TMemoryStream source(data);
      writer.AddEntry(u"f\\" + IntToStr(static_cast<int64_t>(i)) + u".txt", source);
    }
    writer.Finish();
    const TestZipArchive read = ReadZipForTest(archive.Kept());
    EXPECT_EQ(read.zip64_end, c.zip64) << c.entries;
    ASSERT_EQ(read.entries.size(), c.entries);
    EXPECT_EQ(read.entries.back().name, "f/" + std::to_string(c.entries - 1) + ".txt");
    EXPECT_EQ(read.entries.back().data, data);
  }
}

TEST(ZipWriterTest, StreamedEntry_LocalZip64FieldWhenTheSourceMayPass4GiB) {
  constexpr uint64_t kThreshold = 0xFFFFFFFFull - (256ull << 20);
  struct Case {
    const char* what;
    std::optional<uint64_t> reported;  // nullopt: cannot seek
    bool local_zip64;
  };
  const Case cases[] = {
      {"true size", 2 * kChunk + 5, false},   {"just below the threshold", kThreshold - 1, false},
      {"at the threshold", kThreshold, true}, {"says 5 GiB", 5ull << 30, true},
      {"cannot tell", std::nullopt, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TSyntheticStream source(2 * kChunk + 5, SyntheticData::kNoise);
    if (c.reported) {
      source.SetReportedSize(*c.reported);
    } else {
      source.SetUnseekable();
    }
    TMemoryStream archive;
    TZipWriter writer(archive, kTime);
    writer.AddEntry(u"big.bin", source);
    const TestZipArchive read = Finish(writer, archive);
    ASSERT_EQ(read.entries.size(), 1u);
    const auto& e = read.entries[0];
    // The reader demands 8-byte sizes in the descriptor exactly when the local header has the
    // field; the central record needs none, as the sizes fit.
    EXPECT_EQ(e.local_zip64, c.local_zip64);
    EXPECT_FALSE(e.central_zip64);
    EXPECT_EQ(e.version_needed, c.local_zip64 ? 45 : 20);
    EXPECT_EQ(e.size, 2 * kChunk + 5);
    EXPECT_EQ(e.data[2 * kChunk + 4], source.ByteAt(2 * kChunk + 4));
  }
}

TEST(ZipWriterTest, SourceFailure_BeforeAnythingIsWritten_LeavesTheArchiveUsable) {
  // The first chunk is read before the local header goes out.
  TMemoryStream archive;
  TZipWriter writer(archive, kTime);
  Add(writer, u"one.txt", Text(100));
  TSyntheticStream failing(5000, SyntheticData::kNoise);
  failing.SetFailAt(100);
  EXPECT_THROW(writer.AddEntry(u"locked.dat", failing), EReadError);
  Add(writer, u"two.txt", Text(100));
  const TestZipArchive read = Finish(writer, archive);
  ASSERT_EQ(read.entries.size(), 2u);
  EXPECT_EQ(read.entries[1].name, "two.txt");
}

TEST(ZipWriterTest, FailureMidEntry_PropagatesAndRefusesEverythingAfter) {
  struct Case {
    const char* what;
    uint64_t source_fails_at;       // 0: never
    uint64_t destination_fails_at;  // 0: never
    bool in_finish;
  };
  const Case cases[] = {
      {"source fails in its second chunk", kChunk + 10, 0, false},
      {"disk full in the local header", 0, 10, false},
      {"disk full in the data", 0, 50000, false},
      {"disk full in the central directory", 0, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TCountingStream archive;
    TZipWriter writer(archive, kTime);
    TSyntheticStream source(3 * kChunk, SyntheticData::kNoise);
    if (c.source_fails_at) source.SetFailAt(c.source_fails_at);
    if (c.destination_fails_at) archive.SetFailAt(c.destination_fails_at);
    if (c.in_finish) {
      writer.AddEntry(u"big.bin", source);
      archive.SetFailAt(archive.Count() + 10);
      EXPECT_THROW(writer.Finish(), EWriteError);
    } else if (c.source_fails_at) {
      EXPECT_THROW(writer.AddEntry(u"big.bin", source), EReadError);
    } else {
      EXPECT_THROW(writer.AddEntry(u"big.bin", source), EWriteError);
    }
    TMemoryStream next(Text(10));
    EXPECT_THROW(writer.AddEntry(u"next.txt", next), EInvalidOperation);
    EXPECT_THROW(writer.Finish(), EInvalidOperation);
  }
}

TEST(ZipWriterTest, Finish_FlushesTheDestinationAndClosesTheArchive) {
  TCountingStream archive;
  TZipWriter writer(archive, kTime);
  writer.Finish();
  EXPECT_EQ(archive.Flushes(), 1u);
  TMemoryStream source(Text(10));
  try {
    writer.AddEntry(u"late.txt", source);
    FAIL();
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), u"The zip archive is already finished");
  }
  EXPECT_THROW(writer.Finish(), EInvalidOperation);
}

TEST(ZipWriterTest, DestinationThatCannotSeek_GetsTheSameBytes) {
  // The writer only appends, so a pipe-like destination receives a complete archive.
  const Bytes big = Text(2 * kChunk + 3);
  TMemoryStream memory;
  TCountingStream counting;
  for (TStream* destination : {static_cast<TStream*>(&memory), static_cast<TStream*>(&counting)}) {
    TZipWriter writer(*destination, kTime);
    Add(writer, u"small.txt", Text(50));
    Add(writer, u"big.txt", big);
    writer.Finish();
  }
  EXPECT_TRUE(memory.Bytes() == counting.Kept());
  EXPECT_EQ(ReadZipDirectoryForTest(counting.Kept()).entries.size(), 2u);
}

}  // namespace
}  // namespace nolu
