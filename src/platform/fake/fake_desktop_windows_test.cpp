#include "platform/fake/fake_desktop_windows.h"

#include <gtest/gtest.h>

#include "platform/error_codes.h"
#include "platform/fake/fake_platform.h"

namespace nolu {
namespace {

class FakeWindowProcessesTest : public ::testing::Test {
 protected:
  TFakeDesktopWindows& Windows() { return fake_.Windows(); }
  uint64_t Elapsed() { return fake_.System().TickCount() - start_; }

  TFakePlatform fake_;
  const uint64_t start_ = fake_.System().TickCount();
};

// How long a timed wait for a closed window's process costs on the fake clock, by how long
// the process goes on after its window closed.
TEST_F(FakeWindowProcessesTest, AClosedWindowsProcessEndsAsItsLingerSays) {
  struct Row {
    const char* what;
    uint32_t linger_ms;
    bool ends_within_wait;
    uint64_t costs_ms;
  };
  const Row rows[] = {
      {"ends with its window", 0, true, 0},
      {"ends a moment later", 500, true, 500},
      {"ends just within the wait", 2000, true, 2000},
      {"outlives the wait", 2500, false, 2000},
      {"never ends", kInfinite, false, 2000},
  };
  for (const Row& r : rows) {
    TFakePlatform fake;
    const uint64_t start = fake.System().TickCount();
    const TWindowId window = fake.Windows().AddWindow(u"TNoluMainForm", u"C:\\Nolu\\Nolu.exe");
    fake.Windows().SetProcessLinger(window, r.linger_ms);
    std::unique_ptr<TProcess> process = fake.Windows().OpenWindowProcess(window);
    ASSERT_TRUE(process) << r.what;
    EXPECT_FALSE(process->IsSignaled()) << r.what;  // no time passes
    ASSERT_EQ(fake.Windows().SendClose(window, 5000), kErrorSuccess) << r.what;
    EXPECT_EQ(process->Wait(2000), r.ends_within_wait) << r.what;
    EXPECT_EQ(fake.System().TickCount() - start, r.costs_ms) << r.what;
    EXPECT_EQ(fake.System().SleepCount(), 0) << r.what;
    uint32_t code = 99;
    EXPECT_EQ(process->ExitCode(code), r.ends_within_wait) << r.what;
  }
}

TEST_F(FakeWindowProcessesTest, AWindowThatStaysOpenCostsTheWholeWait) {
  const TWindowId window =
      Windows().AddWindow(u"TNoluMainForm", u"C:\\Nolu\\Nolu.exe", [] { return false; });
  std::unique_ptr<TProcess> process = Windows().OpenWindowProcess(window);
  ASSERT_TRUE(process);
  Windows().SendClose(window, 5000);
  EXPECT_FALSE(process->Wait(2000));
  EXPECT_EQ(Elapsed(), 2000u);
  // Closed at last: the same process object sees the end.
  Windows().RemoveWindow(window);
  EXPECT_TRUE(process->Wait(0));
}

TEST_F(FakeWindowProcessesTest, ProcessesThatCannotBeOpened) {
  const TWindowId denied = Windows().AddWindow(u"TNoluLibMainForm", u"C:\\Nolu\\Lib.exe");
  Windows().DenyProcessAccess(denied);
  EXPECT_FALSE(Windows().OpenWindowProcess(denied));
  const TWindowId gone = Windows().AddWindow(u"TNoluMainForm", u"C:\\Nolu\\Nolu.exe");
  Windows().RemoveWindow(gone);
  EXPECT_FALSE(Windows().OpenWindowProcess(gone));
}

TEST_F(FakeWindowProcessesTest, AnAdoptedWindowPlaysAnotherInstancesProcess) {
  // A message window of the channel, standing in for the window of another instance.
  std::unique_ptr<TMessageWindow> window =
      fake_.Messages().CreateMessageWindow(u"TOther", [](const TChannelMessage&) { return 0; });
  Windows().AdoptWindow(window->Id(), u"C:\\Nolu\\Uninstall.exe");
  EXPECT_EQ(Windows().WindowOwnerExecutable(window->Id()), u"C:\\Nolu\\Uninstall.exe");
  EXPECT_FALSE(Windows().FindTopLevelWindow(u""));  // it has no class to be found by
  std::unique_ptr<TProcess> process = Windows().OpenWindowProcess(window->Id());
  ASSERT_TRUE(process);
  EXPECT_FALSE(process->IsSignaled());
  Windows().RemoveWindow(window->Id());
  // The fake's own waitable: the main thread may wait for it while dispatching.
  EXPECT_TRUE(fake_.Messages().WaitDispatching(*process, 0));
}

}  // namespace
}  // namespace nolu
