// Archives past the 32-bit limits of the zip format, checked by unzip and Python's zipfile: an
// entry larger than 4 GiB and an archive larger than 4 GiB. The data is computed, not stored,
// and the files stay small on disk (a compressible entry; a sparse file). The readers inflate
// and check 4 GiB once, so the program takes some twenty seconds.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <cstring>
#include <fstream>
#include <future>

#include "base/buffered_stream.h"
#include "base/errors.h"
#include "base/memory_stream.h"
#include "base/testing/counting_stream.h"
#include "base/testing/outside_zip_readers.h"
#include "base/testing/synthetic_stream.h"
#include "base/testing/zip_test_reader.h"
#include "base/zip_error.h"
#include "base/zip_writer.h"

namespace nolu {
namespace {

using testing::ReadWithPython;
using testing::ReadZipDirectoryForTest;
using testing::RunCommand;
using testing::SyntheticData;
using testing::TCountingStream;
using testing::TestZipArchive;
using testing::TPythonZipReport;
using testing::TSyntheticStream;
using testing::TTempFolder;

constexpr uint64_t k4GiB = uint64_t{1} << 32;
const TZipTime kTime = TZipTime::FromLocalTime(2024, 3, 5, 14, 7, 9, 1709644029);

// A file that receives the archive but leaves every all-zero 4 KiB page a hole, so that an
// archive of gigabytes of zeros takes little disk.
class TSparseFileStream : public TStream {
 public:
  explicit TSparseFileStream(const std::string& path)
      : fd_(open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644)) {
    if (fd_ < 0) throw EFOpenError(u"Cannot create " + Utf8ToString(path));
  }
  ~TSparseFileStream() override { close(fd_); }

  size_t Read(void*, size_t) override { return 0; }
  size_t Write(const void* buffer, size_t count) override {
    static const uint8_t kZeros[kPage] = {};
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    for (size_t done = 0; done < count;) {
      const size_t piece = std::min(count - done, kPage - (size_ + done) % kPage);
      if (std::memcmp(bytes + done, kZeros, piece) != 0 &&
          pwrite(fd_, bytes + done, piece, static_cast<off_t>(size_ + done)) !=
              static_cast<ssize_t>(piece)) {
        return 0;
      }
      done += piece;
    }
    size_ += count;
    return count;
  }
  int64_t Seek(int64_t, SeekOrigin) override { return static_cast<int64_t>(size_); }
  void SetSize(int64_t) override {}
  void Flush() override {
    if (ftruncate(fd_, static_cast<off_t>(size_)) != 0) throw EWriteError();
  }

 private:
  static constexpr size_t kPage = 4096;
  int fd_;
  uint64_t size_ = 0;
};

Bytes FileTail(const std::filesystem::path& path, uint64_t count, uint64_t& offset) {
  std::ifstream file(path, std::ios::binary);
  const uint64_t size = std::filesystem::file_size(path);
  offset = size > count ? size - count : 0;
  Bytes tail(size - offset);
  file.seekg(static_cast<std::streamoff>(offset));
  file.read(reinterpret_cast<char*>(tail.data()), static_cast<std::streamsize>(tail.size()));
  return tail;
}

uint32_t CrcOf(TSyntheticStream& source) {
  Bytes chunk(TStream::kCopyChunk);
  uint32_t crc = 0;
  for (size_t n; (n = source.Read(chunk.data(), chunk.size())) > 0;) {
    crc = static_cast<uint32_t>(crc32_z(crc, chunk.data(), n));
  }
  return crc;
}

// Both outside readers read the archive (the entries named in `only`, or all), unzip -t and
// Python's zipfile, side by side since each takes seconds per 4 GiB.
TPythonZipReport ReadWithUnzipAndPython(const std::filesystem::path& path,
                                        const std::vector<std::string>& only = {}) {
  auto python = std::async(std::launch::async, [&] { return ReadWithPython(path, only); });
  std::vector<std::string> command = {"unzip", "-tq", path.string()};
  command.insert(command.end(), only.begin(), only.end());
  const auto unzip = RunCommand(command);
  EXPECT_EQ(unzip.exit_code, 0) << unzip.output;
  EXPECT_NE(unzip.output.find("No errors detected"), std::string::npos) << unzip.output;
  return python.get();
}

TEST(ZipWriterLargeTest, EntryLargerThan4GiB_HasZip64SizesEverywhere) {
  constexpr uint64_t kSize = k4GiB + TStream::kCopyChunk;
  TTempFolder folder;
  const auto path = folder.Path() / "large-entry.zip";
  {
    TBufferedFileStream file(Utf8ToString(path.string()), FileMode::kCreate);
    TZipWriter writer(file, kTime, 1);  // the fastest level: the layout is what counts here
    TMemoryStream before(Bytes(100, 'a'));
    writer.AddEntry(u"Program\\before.txt", before);
    TSyntheticStream source(kSize, SyntheticData::kRepeatedBlock);
    writer.AddEntry(u"Profiles\\Anna\\Media Library.db", source);
    TMemoryStream after(Bytes(100, 'a'));
    writer.AddEntry(u"Program\\after.txt", after);
    writer.Finish();
  }
  const TPythonZipReport report = ReadWithUnzipAndPython(path);
  ASSERT_TRUE(report.opened) << report.errors;
  EXPECT_EQ(report.bad_entry, "None");
  ASSERT_EQ(report.count, 3u);
  ASSERT_EQ(report.entries.size(), 3u);
  TSyntheticStream again(kSize, SyntheticData::kRepeatedBlock);
  EXPECT_EQ(report.entries[1].name, "Profiles/Anna/Media Library.db");
  EXPECT_EQ(report.entries[1].size, kSize);
  EXPECT_EQ(report.entries[1].crc, CrcOf(again));
  EXPECT_EQ(report.entries[2].size, 100u);

  uint64_t tail_offset = 0;
  const Bytes tail = FileTail(path, 4096, tail_offset);
  const TestZipArchive directory = ReadZipDirectoryForTest(tail, tail_offset);
  ASSERT_EQ(directory.entries.size(), 3u);
  EXPECT_TRUE(directory.entries[1].central_zip64);
  EXPECT_FALSE(directory.entries[2].central_zip64);  // its offset still fits
  EXPECT_FALSE(directory.zip64_end);
}

TEST(ZipWriterLargeTest, ArchiveLargerThan4GiB_HasZip64OffsetsAndEndRecords) {
  constexpr uint64_t kSize = k4GiB + TStream::kCopyChunk;
  TTempFolder folder;
  const auto path = folder.Path() / "large-archive.zip";
  {
    TSparseFileStream file(path.string());
    // Level 0: the zeros go out as they are, so the archive passes 4 GiB.
    TZipWriter writer(file, kTime, 0);
    TSyntheticStream source(kSize, SyntheticData::kZeros);
    writer.AddEntry(u"Program\\zeros.bin", source);
    TMemoryStream small(Bytes(100, 'a'));
    writer.AddEntry(u"Program\\after.txt", small);
    writer.Finish();
  }
  ASSERT_GT(std::filesystem::file_size(path), kSize);
  // The entry behind the 4 GiB mark is the one whose offset needs Zip64; the zeros before it
  // would only cost the readers time.
  const TPythonZipReport report = ReadWithUnzipAndPython(path, {"Program/after.txt"});
  ASSERT_TRUE(report.opened) << report.errors;
  EXPECT_EQ(report.bad_entry, "None");
  ASSERT_EQ(report.entries.size(), 2u);
  EXPECT_EQ(report.entries[0].size, kSize);
  EXPECT_EQ(report.entries[1].name, "Program/after.txt");
  EXPECT_EQ(report.entries[1].size, 100u);

  uint64_t tail_offset = 0;
  const Bytes tail = FileTail(path, 4096, tail_offset);
  const TestZipArchive directory = ReadZipDirectoryForTest(tail, tail_offset);
  ASSERT_EQ(directory.entries.size(), 2u);
  EXPECT_GT(directory.entries[1].offset, k4GiB);
  EXPECT_TRUE(directory.entries[1].central_zip64);
  EXPECT_TRUE(directory.zip64_end);
}

TEST(ZipWriterLargeTest, FileThatGrowsPast4GiBWhileRead_RaisesInsteadOfAWrongEntry) {
  // The file said 1000 bytes when the entry began, so its local header has no room for
  // 64-bit sizes.
  TCountingStream archive(TCountingStream::kKeepNothing);
  TZipWriter writer(archive, kTime, 0);
  TSyntheticStream source(k4GiB + TStream::kCopyChunk, SyntheticData::kZeros);
  source.SetReportedSize(1000);
  try {
    writer.AddEntry(u"Profiles\\Anna\\growing.log", source);
    FAIL();
  } catch (const EZipError& e) {
    EXPECT_EQ(e.Message(), u"The file grew beyond 4 GiB while it was being archived");
  }
  TMemoryStream next(Bytes(10, 'b'));
  EXPECT_THROW(writer.AddEntry(u"next.txt", next), EInvalidOperation);
}

}  // namespace
}  // namespace nolu
