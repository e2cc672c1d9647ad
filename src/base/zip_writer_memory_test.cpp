// Memory of the zip writer does not grow with the size of a file: shown by counting every
// allocation of the process while an entry of hundreds of megabytes goes through, and by the
// destination receiving the compressed bytes while the source is still being read.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "base/testing/counting_stream.h"
#include "base/testing/synthetic_stream.h"
#include "base/zip_writer.h"

namespace {

std::atomic<uint64_t> g_allocated_bytes{0};

void* Allocate(std::size_t size) {
  g_allocated_bytes += size;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) {
  return Allocate(size);
}
void* operator new[](std::size_t size) {
  return Allocate(size);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}

namespace nolu {
namespace {

using testing::SyntheticData;
using testing::TCountingStream;
using testing::TSyntheticStream;

const TZipTime kTime = TZipTime::FromLocalTime(2024, 3, 5, 14, 7, 9);

TEST(ZipWriterMemoryTest, AddEntry_AllocatesTheSameForAMegabyteAndForHundreds) {
  TCountingStream archive(TCountingStream::kKeepNothing);
  TZipWriter writer(archive, kTime);
  uint64_t allocated[2] = {};
  const uint64_t sizes[2] = {uint64_t{3} << 20, uint64_t{384} << 20};
  for (int i = 0; i < 2; ++i) {
    TSyntheticStream source(sizes[i], SyntheticData::kRepeatedBlock);
    const uint64_t before = g_allocated_bytes;
    writer.AddEntry(u"Program\\big" + IntToStr(i) + u".bin", source);
    allocated[i] = g_allocated_bytes - before;
  }
  // What an entry costs is its central directory record (and the list's growth), not its data.
  EXPECT_LT(allocated[0], 4096u);
  EXPECT_LT(allocated[1], 4096u);
  writer.Finish();
}

TEST(ZipWriterMemoryTest, AddEntry_WritesWhileItReads) {
  // Incompressible data at level 0, so that every byte read must come out again: the writer
  // may hold back no more than its two chunk-sized buffers.
  constexpr uint64_t kSize = uint64_t{256} << 20;
  constexpr uint64_t kMaxHeldBack = 2 * TStream::kCopyChunk + 4096;
  TCountingStream archive(TCountingStream::kKeepNothing);
  TZipWriter writer(archive, kTime, 0);
  TSyntheticStream source(kSize, SyntheticData::kNoise);
  uint64_t worst = 0;
  source.SetReadHook([&](uint64_t read) {
    if (read > archive.Count()) worst = std::max(worst, read - archive.Count());
  });
  writer.AddEntry(u"noise.bin", source);
  EXPECT_LE(worst, kMaxHeldBack);
  EXPECT_GE(worst, TStream::kCopyChunk);  // the first chunk is read before anything is written
  EXPECT_LE(source.LargestRead(), TStream::kCopyChunk);
  EXPECT_LE(archive.LargestWrite(), TStream::kCopyChunk + 4096);
  EXPECT_GT(archive.Count(), kSize);
}

}  // namespace
}  // namespace nolu
