// Archives of the zip writer as outside readers see them: Info-ZIP's unzip and Python's
// zipfile must open them, find every CRC right and report the names, sizes and times we wrote.
#include <gtest/gtest.h>
#include <zlib.h>

#include "base/buffered_stream.h"
#include "base/memory_stream.h"
#include "base/testing/outside_zip_readers.h"
#include "base/testing/synthetic_stream.h"
#include "base/zip_writer.h"

namespace nolu {
namespace {

using testing::ReadWithPython;
using testing::RunCommand;
using testing::SyntheticData;
using testing::TPythonZipReport;
using testing::TSyntheticStream;
using testing::TTempFolder;

// 14:07:09 local on 5 March 2024; 13:07:09 UTC.
const TZipTime kTime = TZipTime::FromLocalTime(2024, 3, 5, 14, 7, 9, 1709644029);

Bytes Text(size_t size, int seed) {
  std::string text;
  for (int line = 0; text.size() < size; ++line) {
    text += "Option" + std::to_string((line * seed) % 113) + "=" + std::to_string(line) + "\r\n";
  }
  text.resize(size);
  return Bytes(text.begin(), text.end());
}

Bytes Noise(size_t size) {
  return testing::SyntheticBytes(size, SyntheticData::kNoise);
}

uint32_t Crc(const Bytes& bytes) {
  return crc32_z(0, bytes.data(), bytes.size());
}

struct FixtureEntry {
  const char16_t* name;
  const char* stored_name;
  Bytes data;
};

std::string UnzipTest(const std::filesystem::path& archive) {
  const auto result = RunCommand({"unzip", "-t", archive.string()});
  EXPECT_EQ(result.exit_code, 0) << result.output;
  return result.output;
}

TEST(ZipWriterReadersTest, NamesSizesCrcsAndTimes_AsUnzipAndPythonReadThem) {
  const FixtureEntry entries[] = {
      {u"Profiles\\Анна\\Плейлист.m3u8",
       "Profiles/\xD0\x90\xD0\xBD\xD0\xBD\xD0\xB0/"
       "\xD0\x9F\xD0\xBB\xD0\xB5\xD0\xB9\xD0\xBB\xD0\xB8\xD1\x81\xD1\x82.m3u8",
       Text(3000, 3)},
      {u"Program\\Größe & Maße.ini",
       "Program/Gr\xC3\xB6\xC3\x9F"
       "e & Ma\xC3\x9F"
       "e.ini",
       Text(700, 5)},
      {u"Program\\Übersicht\\日本語.lng",
       "Program/\xC3\x9C"
       "bersicht/\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.lng",
       Text(90000, 7)},
      {u"Program\\empty.dat", "Program/empty.dat", {}},
      {u"Program\\skin.png", "Program/skin.png", Noise(40000)},  // stored
      {u"Program\\Nolu.log", "Program/Nolu.log", Text(3 * TStream::kCopyChunk + 17, 11)},
      {u"Program\\NoluCore.dll", "Program/NoluCore.dll", Noise(TStream::kCopyChunk + 1)},
  };
  TTempFolder folder;
  const auto path = folder.Path() / "z Before install 5.40 [2024.03.05 14-07-09].zip";
  {
    TBufferedFileStream file(Utf8ToString(path.string()), FileMode::kCreate);
    TZipWriter writer(file, kTime);
    for (const auto& e : entries) {
      TMemoryStream source(e.data);
      writer.AddEntry(e.name, source);
    }
    writer.Finish();
  }

  EXPECT_NE(UnzipTest(path).find("No errors detected in compressed data"), std::string::npos);

  const TPythonZipReport report = ReadWithPython(path);
  ASSERT_TRUE(report.opened) << report.errors;
  EXPECT_EQ(report.bad_entry, "None");
  ASSERT_EQ(report.entries.size(), std::size(entries));
  for (size_t i = 0; i < std::size(entries); ++i) {
    const auto& want = entries[i];
    const auto& got = report.entries[i];
    SCOPED_TRACE(want.stored_name);
    EXPECT_EQ(got.name, want.stored_name);
    EXPECT_EQ(got.size, want.data.size());
    EXPECT_EQ(got.crc, Crc(want.data));
    EXPECT_EQ(got.date_time, "2024-03-05 14:07:08");  // DOS time keeps even seconds
    EXPECT_TRUE(got.flags & 0x800) << "UTF-8 flag";
  }
  EXPECT_EQ(report.entries[3].method, 0);  // empty
  EXPECT_EQ(report.entries[4].method, 0);  // noise in one chunk
  EXPECT_EQ(report.entries[5].method, 8);
  EXPECT_TRUE(report.entries[5].flags & 0x8) << "streamed with a data descriptor";

  // zipinfo reads the extended timestamp: the exact second, in UTC.
  const auto info = RunCommand({"env", "TZ=UTC", "zipinfo", "-v", path.string()});
  EXPECT_EQ(info.exit_code, 0) << info.output;
  EXPECT_NE(info.output.find("2024 Mar 5 13:07:09 UTC"), std::string::npos) << info.output;
}

TEST(ZipWriterReadersTest, EmptyArchive_IsAValidZipFile) {
  TTempFolder folder;
  const auto path = folder.Path() / "empty.zip";
  {
    TBufferedFileStream file(Utf8ToString(path.string()), FileMode::kCreate);
    TZipWriter writer(file, kTime);
    writer.Finish();
  }
  // unzip warns about an empty archive (exit code 1) but reads its end record.
  const auto unzip = RunCommand({"unzip", "-t", path.string()});
  EXPECT_EQ(unzip.exit_code, 1) << unzip.output;
  EXPECT_NE(unzip.output.find("zipfile is empty"), std::string::npos) << unzip.output;
  const TPythonZipReport report = ReadWithPython(path);
  ASSERT_TRUE(report.opened) << report.errors;
  EXPECT_EQ(report.count, 0u);
  EXPECT_EQ(report.bad_entry, "None");
}

TEST(ZipWriterReadersTest, MoreThan65535Entries_UseZip64EndRecords) {
  constexpr size_t kEntries = 70000;
  TTempFolder folder;
  const auto path = folder.Path() / "many.zip";
  {
    TBufferedFileStream file(Utf8ToString(path.string()), FileMode::kCreate);
    TZipWriter writer(file, kTime);
    for (size_t i = 0; i < kEntries; ++i) {
      TMemoryStream source(Text(i % 50, static_cast<int>(i)));
      writer.AddEntry(u"Profiles\\User" + IntToStr(static_cast<int64_t>(i % 7)) + u"\\file" +
                          IntToStr(static_cast<int64_t>(i)) + u".txt",
                      source);
    }
    writer.Finish();
  }
  const auto unzip = RunCommand({"unzip", "-tq", path.string()});
  EXPECT_EQ(unzip.exit_code, 0) << unzip.output.substr(0, 2000);
  EXPECT_NE(unzip.output.find("No errors detected"), std::string::npos);

  const TPythonZipReport report = ReadWithPython(path);
  ASSERT_TRUE(report.opened) << report.errors;
  EXPECT_EQ(report.count, kEntries);
  EXPECT_EQ(report.bad_entry, "None");
  ASSERT_EQ(report.entries.size(), 2u);
  EXPECT_EQ(report.entries[1].name, "Profiles/User" + std::to_string((kEntries - 1) % 7) + "/file" +
                                        std::to_string(kEntries - 1) + ".txt");
  EXPECT_EQ(report.entries[1].crc, Crc(Text((kEntries - 1) % 50, kEntries - 1)));
}

}  // namespace
}  // namespace nolu
