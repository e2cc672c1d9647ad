#include "platform/logging/text_log.h"

#include <gtest/gtest.h>

#include "platform/error_codes.h"
#include "platform/fake/fake_platform.h"

namespace nolu {
namespace {

constexpr char16_t kLog[] = u"C:\\Logs\\setup.log";
const std::string kMark = "\xEF\xBB\xBF";

class TextLogTest : public ::testing::Test {
 protected:
  TextLogTest() { fake_.Files().AddFolder(u"C:\\Logs"); }
  TFakePlatform fake_;
};

TEST_F(TextLogTest, LinesAreStampedWithTimeAndProcessAndEndInCrLf) {
  {
    TTextLog log(fake_.Files(), fake_.System(), kLog, /*create_new=*/true);
    ASSERT_TRUE(log.IsOpen());
    log.Line(u"Write C:\\Nolu\\Nolu.exe");
    fake_.System().Sleep(1500);
    // One entry stays one line, whatever line breaks its text holds.
    log.Line(u"Error: first\r\nsecond\nthird");
  }
  EXPECT_EQ(fake_.Files().FileText(kLog),
            kMark +
                "2024-03-05 14:07:09.000 [4242] Write C:\\Nolu\\Nolu.exe\r\n"
                "2024-03-05 14:07:10.500 [4242] Error: first | second | third\r\n");
}

TEST_F(TextLogTest, ASecondInstanceAppendsToTheSameFile) {
  TTextLog first(fake_.Files(), fake_.System(), kLog, /*create_new=*/true);
  fake_.System().SetProcessId(77);
  TTextLog second(fake_.Files(), fake_.System(), kLog, /*create_new=*/false);
  ASSERT_TRUE(first.IsOpen() && second.IsOpen());
  first.Line(u"one");
  second.Line(u"two");
  first.Line(u"three");
  // One byte order mark, at the start; every line whole and in the order written.
  EXPECT_EQ(fake_.Files().FileText(kLog), kMark +
                                              "2024-03-05 14:07:09.000 [4242] one\r\n"
                                              "2024-03-05 14:07:09.000 [77] two\r\n"
                                              "2024-03-05 14:07:09.000 [4242] three\r\n");
}

TEST_F(TextLogTest, ALogThatCannotBeWrittenIsNoLogAndNeverRaises) {
  fake_.Files().AddFile(u"C:\\Logs\\taken.log", "someone else's");
  struct Row {
    const char* what;
    const char16_t* path;
    bool create_new;
    uint32_t error;
  };
  const Row rows[] = {
      {"a new file that exists", u"C:\\Logs\\taken.log", true, kErrorFileExists},
      {"a missing folder", u"C:\\Missing\\setup.log", false, kErrorPathNotFound},
      {"a folder", u"C:\\Logs", false, kErrorAccessDenied},
  };
  for (const Row& r : rows) {
    TTextLog log(fake_.Files(), fake_.System(), r.path, r.create_new);
    EXPECT_FALSE(log.IsOpen()) << r.what;
    EXPECT_EQ(log.Error(), r.error) << r.what;
    EXPECT_NO_THROW(log.Line(u"lost")) << r.what;
  }
  EXPECT_EQ(fake_.Files().FileText(u"C:\\Logs\\taken.log"), "someone else's");

  // A disk that fills up: the lines stop, the caller goes on.
  TTextLog log(fake_.Files(), fake_.System(), kLog, /*create_new=*/false);
  ASSERT_TRUE(log.IsOpen());
  fake_.Files().SetWriteBudget(10);
  EXPECT_NO_THROW(log.Line(u"a line longer than ten bytes"));
  EXPECT_NO_THROW(log.Line(u"and another"));
}

}  // namespace
}  // namespace nolu
