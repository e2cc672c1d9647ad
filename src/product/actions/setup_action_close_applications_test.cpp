#include "product/actions/setup_action_close_applications.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "core/setup.h"
#include "core/setup_thread.h"
#include "core/testing/fake_setup_run.h"
#include "platform/platform.h"
#include "resources/setup_resources.h"

namespace nolu {
namespace {

// An action after the closing: it would delete the program's file.
class TDeleteProgram : public TSetupAction {
 public:
  static constexpr char16_t kClassName[] = u"TDeleteProgram";
  void Execute() override { CurrentPlatform().Files().Delete(u"C:\\Nolu\\Nolu.exe"); }
};

class CloseApplicationsTest : public ::testing::Test {
 protected:
  CloseApplicationsTest() {
    run_.Data().SetSetupFile(u"English.lng",
                             TFakeSetupData::LanguageFile(u"English", 1033, u"EN",
                                                          "[Common]\r\nA8=Closing $NAME...\r\n"));
    run_.Product().install_actions = {&ActionClassOf<TSetupActionCloseApplications>()};
  }

  // Runs the action on the worker, as a silent installation does, and measures how long it
  // took on the fake clock.
  TSetup& Run() {
    TSetup& setup = run_.Create(u"/AUTO=C:\\Nolu /SILENT");
    setup.AddListener(&listener_);
    const uint64_t start = System().TickCount();
    setup.Start(true);
    elapsed_ms_ = System().TickCount() - start;
    return setup;
  }

  TFakeDesktopWindows& Windows() { return run_.Platform().Windows(); }
  TFakeSystem& System() { return run_.Platform().System(); }

  TRecordingListener listener_;
  TFakeSetupRun run_;
  uint64_t elapsed_ms_ = 0;
};

TEST_F(CloseApplicationsTest, NothingRunning_CostsNoTime) {
  TSetup& setup = Run();
  EXPECT_FALSE(setup.HasErrors());
  EXPECT_EQ(System().SleepCount(), 0);
  EXPECT_EQ(elapsed_ms_, 0u);
  EXPECT_TRUE(Windows().CloseRequests().empty());
  // The status line comes first.
  ASSERT_FALSE(listener_.Received.empty());
  bool status_seen = false;
  for (const TRecordedNotification& n : listener_.Received) {
    if (n.Code == ncStatusText) {
      EXPECT_EQ(n.Text, u"Closing Nolu...");
      status_seen = true;
    }
  }
  EXPECT_TRUE(status_seen);
}

// A first installation starts while the package still decodes: a program of the user's that
// runs is not closed for a package that turns out corrupt.
TEST_F(CloseApplicationsTest, FirstInstallationFromACorruptPackage_ClosesNothing) {
  std::string noise(256 * 1024, '\0');
  uint32_t x = 11;
  for (char& ch : noise)
    ch = static_cast<char>((x = x * 1664525 + 1013904223) >> 24);
  run_.Data().SetProductFile(u"noise.bin", noise);
  const String params = u"/AUTO=C:\\Nolu /SILENT";
  run_.Prepare(params);
  Bytes product = run_.Data().BuildProductPackage();
  product[product.size() / 2] ^= 0x55;
  run_.Platform().Resources().SetRcData(u"PRODUCT", product);
  Windows().AddWindow(u"TNoluMainForm", u"C:\\Other\\Nolu.exe");

  TSetup setup(params, &TTestProductInfo::Create);
  setup.Resources().InitializeLanguages();
  setup.Start(true);

  EXPECT_EQ(setup.Errors(), StringList{u"Package was corrupted"});
  EXPECT_TRUE(Windows().CloseRequests().empty());
}

// What the closing costs: the waits for the closed programs to end, bounded by two seconds
// per pass, and never a pause for its own sake.
TEST_F(CloseApplicationsTest, WaitsOnlyForTheProgramsItClosed) {
  struct Row {
    const char* what;
    std::function<void(TFakeDesktopWindows&)> arrange;
    size_t close_requests;
    uint64_t elapsed_ms;
    int pauses;
  };
  const Row rows[] = {
      {"a program that ends with its window costs nothing",
       [](TFakeDesktopWindows& w) { w.AddWindow(u"TNoluMainForm", u"C:\\Nolu\\Nolu.exe"); }, 1, 0,
       0},
      {"a program that takes half a second to end costs that",
       [](TFakeDesktopWindows& w) {
         w.SetProcessLinger(w.AddWindow(u"TNoluMainForm", u"C:\\Nolu\\Nolu.exe"), 500);
       },
       1, 500, 0},
      {"two programs ending together share the pass's wait",
       [](TFakeDesktopWindows& w) {
         w.SetProcessLinger(w.AddWindow(u"TNolu2EditorForm", u"C:\\Nolu\\Editor.exe"), 1500);
         w.SetProcessLinger(w.AddWindow(u"TNoluMainForm", u"C:\\Nolu\\Nolu.exe"), 1000);
       },
       2, 1500, 0},
      {"a program that outlives its window is waited for two seconds at most",
       [](TFakeDesktopWindows& w) {
         w.SetProcessLinger(w.AddWindow(u"TNoluMainForm", u"C:\\Nolu\\Nolu.exe"), kInfinite);
       },
       1, 2000, 0},
      {"a window closing on the second request: one pass waits in vain",
       [](TFakeDesktopWindows& w) {
         auto requests = std::make_shared<int>(0);
         w.AddWindow(u"TNoluMainForm", u"C:\\Nolu\\Nolu.exe",
                     [requests] { return ++*requests == 2; });
       },
       2, 2000, 0},
      {"a program that may not be watched gets the old pause",
       [](TFakeDesktopWindows& w) {
         w.DenyProcessAccess(w.AddWindow(u"TNoluMainForm", u"C:\\Nolu\\Nolu.exe"));
       },
       1, 2000, 1},
  };
  for (const Row& r : rows) {
    TFakeSetupRun run;
    run.Product().install_actions = {&ActionClassOf<TSetupActionCloseApplications>()};
    r.arrange(run.Platform().Windows());
    TSetup& setup = run.Create(u"/AUTO=C:\\Nolu /SILENT");
    const uint64_t start = run.Platform().System().TickCount();
    setup.Start(true);
    EXPECT_FALSE(setup.HasErrors()) << r.what;
    EXPECT_EQ(run.Platform().Windows().CloseRequests().size(), r.close_requests) << r.what;
    EXPECT_EQ(run.Platform().System().TickCount() - start, r.elapsed_ms) << r.what;
    EXPECT_EQ(run.Platform().System().SleepCount(), r.pauses) << r.what;
  }
}

TEST_F(CloseApplicationsTest, OneWindowPerClassPerPass_InTheListsOrder) {
  // Two windows of one class and one of an earlier class of the list.
  const TWindowId main1 = Windows().AddWindow(u"TNoluMainForm", u"C:\\Nolu\\Nolu.exe");
  const TWindowId main2 = Windows().AddWindow(u"TNoluMainForm", u"C:\\Nolu\\Nolu.exe");
  const TWindowId editor = Windows().AddWindow(u"TNolu2EditorForm", u"C:\\Nolu\\Editor.exe");
  TSetup& setup = Run();
  EXPECT_FALSE(setup.HasErrors());
  EXPECT_EQ(Windows().CloseRequests(), (std::vector<TWindowId>{editor, main1, main2}));
  EXPECT_EQ(elapsed_ms_, 0u);  // each program ended with its window
}

TEST_F(CloseApplicationsTest, WindowThatNeverCloses_EndsTheRunAfterFifteenPasses) {
  Windows().AddWindow(u"TNoluConverterMainForm", u"C:\\Nolu\\Converter.exe", [] { return false; });
  TSetup& setup = Run();
  ASSERT_EQ(setup.Errors().size(), 1u);
  EXPECT_NE(setup.Errors()[0].find(u"\"TNoluConverterMainForm\""), String::npos)
      << StringToUtf8(setup.Errors()[0]);
  EXPECT_EQ(Windows().CloseRequests().size(), 15u);
  // Each pass waited its two seconds for a program that did not end.
  EXPECT_EQ(elapsed_ms_, 15 * 2000u);
  EXPECT_EQ(System().SleepCount(), 0);
  EXPECT_TRUE(setup.ProductStillRunning());
}

TEST_F(CloseApplicationsTest, WindowThatNeverCloses_TheMessageIsTheUsersLanguage) {
  run_.Data().SetSetupFile(
      u"German.lng",
      TFakeSetupData::LanguageFile(u"Deutsch", 1031, u"DE",
                                   "[Common]\r\nE6=Das Fenster \"%s\" bleibt offen.\r\n"));
  System().SetUserDefaultUILanguage(1031);
  Windows().AddWindow(u"TNoluMainForm", u"C:\\Nolu\\Nolu.exe", [] { return false; });
  TSetup& setup = Run();
  EXPECT_EQ(setup.Errors(), StringList{u"Das Fenster \"TNoluMainForm\" bleibt offen."});
}

TEST_F(CloseApplicationsTest, HungWindow_EndsTheRunAfterFifteenPasses) {
  const TWindowId window = Windows().AddWindow(u"TNoluLibMainForm", u"C:\\Nolu\\Lib.exe");
  Windows().SetHung(window, true);
  TSetup& setup = Run();
  ASSERT_EQ(setup.Errors().size(), 1u);
  EXPECT_NE(setup.Errors()[0].find(u"\"TNoluLibMainForm\""), String::npos);
  EXPECT_EQ(Windows().CloseRequests().size(), 15u);
  EXPECT_TRUE(setup.ProductStillRunning());
}

TEST_F(CloseApplicationsTest, WindowClosingOnTheFifteenthRequest_IsNoError) {
  int requests = 0;
  Windows().AddWindow(u"TNoluMainForm", u"C:\\Nolu\\Nolu.exe", [&] { return ++requests == 15; });
  TSetup& setup = Run();
  EXPECT_FALSE(setup.HasErrors());
  EXPECT_EQ(Windows().CloseRequests().size(), 15u);
  EXPECT_EQ(elapsed_ms_, 14 * 2000u);
  EXPECT_FALSE(setup.ProductStillRunning());
}

TEST_F(CloseApplicationsTest, WindowStillOpen_NoLaterActionTouchesFiles) {
  run_.Platform().Files().AddFile(u"C:\\Nolu\\Nolu.exe", "MZ");
  Windows().AddWindow(u"TNoluMainForm", u"C:\\Nolu\\Nolu.exe", [] { return false; });
  run_.Product().install_actions.push_back(&ActionClassOf<TDeleteProgram>());
  TSetup& setup = Run();
  EXPECT_TRUE(setup.HasErrors());
  EXPECT_TRUE(run_.Platform().Files().FileExists(u"C:\\Nolu\\Nolu.exe"));
}

TEST_F(CloseApplicationsTest, CancelWhileAWindowStaysOpen_EndsAfterThisPass) {
  run_.Platform().Files().AddFile(u"C:\\Nolu\\Nolu.exe", "MZ");
  int requests = 0;
  Windows().AddWindow(u"TNoluMainForm", u"C:\\Nolu\\Nolu.exe", [&] {
    // The user quits while the program refuses its second request.
    if (++requests == 2) nolu::Setup()->Thread()->Terminate();
    return false;
  });
  run_.Product().install_actions.push_back(&ActionClassOf<TDeleteProgram>());
  TSetup& setup = Run();
  EXPECT_EQ(Windows().CloseRequests().size(), 2u);
  // Stopped by the user, not by the window: only the run's "aborted" error, no file touched.
  ASSERT_EQ(setup.Errors().size(), 1u);
  EXPECT_EQ(setup.Errors()[0].find(u"TNoluMainForm"), String::npos)
      << StringToUtf8(setup.Errors()[0]);
  EXPECT_TRUE(run_.Platform().Files().FileExists(u"C:\\Nolu\\Nolu.exe"));
}

}  // namespace
}  // namespace nolu
