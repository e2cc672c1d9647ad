#include "base/buffered_stream.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "base/errors.h"
#include "base/memory_stream.h"

namespace nolu {
namespace {

// A stream that counts the calls that reach it, to show that the buffer batches them.
class CountingStream : public TMemoryStream {
 public:
  size_t Read(void* b, size_t n) override {
    ++reads;
    return TMemoryStream::Read(b, n);
  }
  size_t Write(const void* b, size_t n) override {
    ++writes;
    return TMemoryStream::Write(b, n);
  }
  int reads = 0;
  int writes = 0;
};

TEST(BufferedStreamTest, BatchesSmallWritesAndReads) {
  auto inner = std::make_unique<CountingStream>();
  CountingStream* raw = inner.get();
  TBufferedStream s(std::move(inner), 64);
  for (int i = 0; i < 100; ++i)
    s.WriteBuffer(&i, 1);
  EXPECT_EQ(s.Position(), 100);
  s.Flush();
  EXPECT_LE(raw->writes, 2);
  s.SetPosition(0);
  raw->reads = 0;
  for (int i = 0; i < 100; ++i) {
    uint8_t b;
    s.ReadBuffer(&b, 1);
    EXPECT_EQ(b, i);
  }
  EXPECT_LE(raw->reads, 2);
}

TEST(BufferedStreamTest, MixedReadsWritesAndSeeksMatchAPlainStream) {
  // Random operations against a buffered and an unbuffered stream must give equal bytes.
  std::mt19937 rng(7);
  TMemoryStream plain;
  TBufferedStream buffered(std::make_unique<TMemoryStream>(), 16);
  std::vector<uint8_t> data(64);
  for (int step = 0; step < 2000; ++step) {
    const size_t n = rng() % 40;
    for (auto& b : data)
      b = static_cast<uint8_t>(rng());
    switch (rng() % 3) {
      case 0:
        plain.Write(data.data(), n);
        buffered.Write(data.data(), n);
        break;
      case 1: {
        std::vector<uint8_t> a(n), b(n);
        ASSERT_EQ(plain.Read(a.data(), n), buffered.Read(b.data(), n)) << step;
        ASSERT_EQ(a, b) << step;
        break;
      }
      default: {
        const int64_t to = static_cast<int64_t>(rng() % (plain.Size() + 1));
        plain.SetPosition(to);
        buffered.SetPosition(to);
      }
    }
    ASSERT_EQ(plain.Position(), buffered.Position()) << step;
  }
  buffered.Flush();
  EXPECT_EQ(plain.Size(), buffered.Size());
}

TEST(BufferedFileStreamTest, WritesAndReadsAFile) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path();
  const std::filesystem::path path = dir / "nolu_buffered_stream_test.bin";
  const String name = Utf8ToString(path.string());
  std::vector<uint8_t> data(600 * 1024);
  for (size_t i = 0; i < data.size(); ++i)
    data[i] = static_cast<uint8_t>(i * 31);
  {
    TBufferedFileStream out(name, FileMode::kCreate);
    out.WriteBuffer(data.data(), 10);
    out.WriteBuffer(data.data() + 10, data.size() - 10);
    out.Flush();
  }
  {
    TBufferedFileStream in(name, FileMode::kOpenRead);
    EXPECT_EQ(in.Size(), static_cast<int64_t>(data.size()));
    std::vector<uint8_t> back(data.size());
    in.ReadBuffer(back.data(), 5);
    in.ReadBuffer(back.data() + 5, back.size() - 5);
    EXPECT_EQ(back, data);
    uint8_t extra;
    EXPECT_THROW(in.ReadBuffer(&extra, 1), EReadError);
  }
  std::filesystem::remove(path);
}

TEST(BufferedFileStreamTest, AppendingKeepsWhatIsThereAndAppendingNewTakesNoExistingFile) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / "nolu_file_stream_append_test.log";
  const String name = Utf8ToString(path.string());
  std::filesystem::remove(path);
  {
    TFileStream created(name, FileMode::kAppendNew);
    created.WriteBuffer("one\n", 4);
  }
  // Only a file that does not exist yet.
  EXPECT_THROW(TFileStream(name, FileMode::kAppendNew), EFOpenError);
  {
    TFileStream appended(name, FileMode::kAppend);
    appended.Seek(0, SeekOrigin::kBegin);  // writes go to the end all the same
    appended.WriteBuffer("two\n", 4);
  }
  {
    TFileStream in(name, FileMode::kOpenRead);
    std::string text(8, '\0');
    in.ReadBuffer(text.data(), text.size());
    EXPECT_EQ(text, "one\ntwo\n");
    EXPECT_EQ(in.Size(), 8);
  }
  std::filesystem::remove(path);
}

TEST(BufferedFileStreamTest, MissingFileRaisesOpenErrorWithTheName) {
  try {
    TFileStream s(u"/nonexistent-dir-nolu/x.bin", FileMode::kOpenRead);
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_NE(e.Message().find(u"Cannot open file \"/nonexistent-dir-nolu/x.bin\"."), String::npos);
  }
}

}  // namespace
}  // namespace nolu
