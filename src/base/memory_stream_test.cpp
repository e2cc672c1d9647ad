#include "base/memory_stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/errors.h"

namespace nolu {
namespace {

TEST(MemoryStreamTest, WritesReadsAndSeeks) {
  TMemoryStream s;
  s.WriteBuffer("abcdef", 6);
  EXPECT_EQ(s.Size(), 6);
  EXPECT_EQ(s.Position(), 6);
  s.Seek(-4, SeekOrigin::kEnd);
  char buf[8] = {};
  EXPECT_EQ(s.Read(buf, 8), 4u);
  EXPECT_STREQ(buf, "cdef");
  EXPECT_EQ(s.Read(buf, 8), 0u);
  s.SetPosition(1);
  s.WriteBuffer("XY", 2);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(s.Data()), 6), "aXYdef");
}

TEST(MemoryStreamTest, ShortReadBufferRaisesStreamReadError) {
  TMemoryStream s(std::vector<uint8_t>{1, 2, 3});
  uint8_t buf[4];
  try {
    s.ReadBuffer(buf, 4);
    FAIL();
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), u"Stream read error");
  }
}

TEST(MemoryStreamTest, WritingPastTheEndZeroFillsTheGap) {
  TMemoryStream s;
  s.Seek(3, SeekOrigin::kBegin);
  s.WriteBuffer("z", 1);
  EXPECT_EQ(s.Bytes(), (std::vector<uint8_t>{0, 0, 0, 'z'}));
  EXPECT_THROW(s.Seek(-5, SeekOrigin::kCurrent), EStreamError);
}

TEST(MemoryStreamTest, SetSizeClampsThePosition) {
  TMemoryStream s(std::vector<uint8_t>(10, 7));
  s.Seek(0, SeekOrigin::kEnd);
  s.SetSize(4);
  EXPECT_EQ(s.Position(), 4);
  EXPECT_EQ(s.Size(), 4);
}

// From each stream's own position to its end; a chunk smaller than the data makes the
// comparison cross chunk borders.
TEST(MemoryStreamTest, SameRemainingContentComparesFromBothPositions) {
  struct Case {
    const char* mine;
    int64_t my_position;
    const char* theirs;
    int64_t their_position;
    bool same;
  };
  const Case cases[] = {
      {"abcdefgh", 0, "abcdefgh", 0, true},
      {"abcdefgh", 0, "abcdefgX", 0, false},  // the last byte, in the last chunk
      {"Xbcdefgh", 0, "abcdefgh", 0, false},
      {"abcdefgh", 0, "abcdefghi", 0, false},  // theirs is longer
      {"abcdefghi", 0, "abcdefgh", 0, false},  // mine is longer
      {"--abcdefgh", 2, "abcdefgh", 0, true},
      {"abcdefgh", 0, "___abcdefgh", 3, true},
      {"", 0, "", 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.mine) + " / " + c.theirs);
    TMemoryStream mine;
    mine.WriteBuffer(c.mine, std::strlen(c.mine));
    mine.SetPosition(c.my_position);
    TMemoryStream theirs;
    theirs.WriteBuffer(c.theirs, std::strlen(c.theirs));
    theirs.SetPosition(c.their_position);
    EXPECT_EQ(mine.SameRemainingContent(theirs, /*chunk=*/3), c.same);
  }
}

TEST(MemoryStreamTest, CopyFromMovesExactCountAndFailsOnShortSource) {
  TMemoryStream source(std::vector<uint8_t>(3000, 1));
  TMemoryStream dest;
  EXPECT_EQ(dest.CopyFrom(source, 2500, 1024), 2500);
  EXPECT_EQ(dest.Size(), 2500);
  EXPECT_THROW(dest.CopyFrom(source, 1000, 1024), EReadError);
  source.SetPosition(0);
  TMemoryStream all;
  EXPECT_EQ(all.CopyRemainingFrom(source, 7), 3000);
}

}  // namespace
}  // namespace nolu
