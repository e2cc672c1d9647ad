// The engine on the real Win32 platform (under Wine): notifications from a real worker travel
// as sent window messages to the setup object's message-only window while the main thread
// waits with a dispatching wait; the spawn service's request crosses from one process to
// another.
#include <gtest/gtest.h>

#include <atomic>

#include "base/path.h"
#include "core/setup.h"
#include "core/setup_action.h"
#include "core/setup_spawn_service.h"
#include "core/testing/fake_setup_run.h"
#include "core/testing/listed_actions_product.h"
#include "platform/error_codes.h"
#include "platform/win32/testing/win32_test_platform.h"
#include "resources/installer_errors.h"
#include "resources/setup_resources.h"
#include "resources/testing/fake_setup_data.h"

namespace nolu {
namespace {

// Records shell starts instead of carrying them out; everything else is the real shell.
class TRecordingShell : public TForwardingShell {
 public:
  using TForwardingShell::TForwardingShell;
  TStartResult Execute(const TShellExecuteInfo& info) override {
    std::lock_guard lock(mutex_);
    opened_.push_back(info.File);
    return {};
  }
  uint32_t ShellOpen(StringView, StringView file, StringView, StringView, int) override {
    std::lock_guard lock(mutex_);
    opened_.emplace_back(file);
    return kErrorSuccess;
  }

  StringList Opened() {
    std::lock_guard lock(mutex_);
    return opened_;
  }

 private:
  std::mutex mutex_;
  StringList opened_;
};

// The Win32 platform with the packages of the test payload as its resources and a shell that
// records what it is asked to open.
class TWin32TestPlatform : public TWin32PlatformWithResources {
 public:
  TWin32TestPlatform() : shell_(Real().Shell()) {
    const TFakeSetupData data = TFakeSetupData::Sample();
    TestResources().SetRcData(u"SETUP", data.BuildSetupPackage());
    TestResources().SetRcData(u"PRODUCT", data.BuildProductPackage());
  }
  TRecordingShell& Shell() override { return shell_; }

 private:
  TRecordingShell shell_;
};

class TActionReporting : public TSetupAction {
 public:
  static constexpr char16_t kClassName[] = u"TActionReporting";
  void Execute() override {
    SetStatus(u"Copying files…");
    SetProgress(50);
  }
};

class TActionFailing : public TSetupAction {
 public:
  static constexpr char16_t kClassName[] = u"TActionFailing";
  void Execute() override { throw EInstallerInstallError(u"Disk full"); }
};

class TActionBlocking : public TSetupAction {
 public:
  static constexpr char16_t kClassName[] = u"TActionBlocking";
  static inline TEvent* started = nullptr;
  static inline TEvent* release = nullptr;
  void Execute() override {
    started->Set();
    release->Wait(kInfinite);
  }
  void Cancel() override { release->Set(); }
};

class SetupWin32Test : public ::testing::Test {
 protected:
  SetupWin32Test() : scope_(platform_) {}
  ~SetupWin32Test() override { TSetupSpawnService::Finalize(); }

  TSetup& Create(std::vector<const TSetupActionClass*> actions) {
    TListedActionsProduct::SetActions(std::move(actions));
    const String dest = platform_.Files().TempFolder() + u"nolu-engine-test\\";
    setup_ = std::make_unique<TSetup>(u"/AUTO=\"" + dest + u"\" /SILENT",
                                      &TListedActionsProduct::Create);
    setup_->Resources().InitializeLanguages();
    setup_->AddListener(&listener_);
    return *setup_;
  }

  TWin32TestPlatform platform_;
  PlatformScope scope_;
  TRecordingListener listener_;
  std::unique_ptr<TSetup> setup_;
};

TEST_F(SetupWin32Test, WorkerNotifications_ArriveOnTheMainThreadInOrder) {
  TSetup& setup = Create({&ActionClassOf<TActionReporting>(), &ActionClassOf<TActionFailing>()});
  setup.Start(true);
  EXPECT_EQ(setup.State(), ssFinished);
  EXPECT_EQ(setup.Errors(), StringList{u"Disk full"});
  std::vector<uint32_t> codes;
  for (const TRecordedNotification& n : listener_.Received) {
    codes.push_back(n.Code);
    EXPECT_TRUE(n.OnMainThread) << n.Code;
  }
  EXPECT_EQ(codes, (std::vector<uint32_t>{ncProgress, ncProgressRefresh, ncStatusText, ncProgress,
                                          ncProgressRefresh, ncProgress, ncProgressRefresh,
                                          ncProgress, ncProgressRefresh, ncFinished}));
  EXPECT_EQ(listener_.Received[2].Text, u"Copying files…");
  EXPECT_EQ(listener_.Progress(),
            (std::vector<std::pair<int, int>>{{0, 0}, {25, 50}, {50, 100}, {50, 0}}));
  EXPECT_EQ(listener_.Received.back().Value, 0);
}

TEST_F(SetupWin32Test, Cancel_WaitsWhileServingTheWorker) {
  auto started = platform_.Messages().NewEvent();
  auto release = platform_.Messages().NewEvent();
  TActionBlocking::started = started.get();
  TActionBlocking::release = release.get();
  TSetup& setup = Create({&ActionClassOf<TActionBlocking>(), &ActionClassOf<TActionReporting>()});
  setup.Start(false);
  platform_.Messages().WaitDispatching(*started);
  setup.Cancel();
  EXPECT_EQ(setup.State(), ssFinished);
  EXPECT_EQ(setup.Errors(), StringList{u"Setup was aborted."});
  EXPECT_EQ(listener_.Received.back().Code, ncFinished);
  EXPECT_EQ(listener_.Received.back().Value, 1);
  for (const TRecordedNotification& n : listener_.Received)
    EXPECT_NE(n.Code, ncStatusText);
}

// The elevated instance, played by another process, sends a request naming a window of its
// own: this instance serves it only when that is the process it started.
TEST_F(SetupWin32Test, SpawnRequest_FromTheStartedProcessOnly_IsOpenedHere) {
  const String probe =
      ExtractFilePath(platform_.System().ModuleFileName()) + u"nolu_spawn_probe.exe";
  const String path = u"C:\\Program Files (x86)\\Nolu\\Nolu.exe";
  for (const bool served : {true, false}) {
    SCOPED_TRACE(served ? "the started process" : "another process");
    TSetupSpawnService::Initialize();
    TStartResult started = platform_.Processes().StartProcess(
        u"\"" + probe + u"\" " +
            IntToStr(static_cast<int64_t>(TSetupSpawnService::Window().Value)) + u" \"" + path +
            u"\"",
        kSwHide, u"");
    ASSERT_TRUE(started.Process) << started.Error;
    TSetupSpawnService::ServeRequestsFrom(served ? started.Process->Id()
                                                 : started.Process->Id() + 4);
    ASSERT_TRUE(platform_.Messages().WaitDispatching(*started.Process));
    uint32_t exit_code = 99;
    ASSERT_TRUE(started.Process->ExitCode(exit_code));
    EXPECT_EQ(exit_code, 0u);
    TSetupSpawnService::Finalize();
  }
  EXPECT_EQ(platform_.Shell().Opened(), StringList{path});
}

}  // namespace
}  // namespace nolu
