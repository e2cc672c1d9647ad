#include "core/setup_thread.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "core/setup.h"
#include "core/testing/fake_setup_run.h"
#include "resources/installer_errors.h"

namespace nolu {
namespace {

// What the test actions did, in order, on any thread.
std::vector<String> g_log;
std::mutex g_log_mutex;

void Log(StringView entry) {
  std::lock_guard lock(g_log_mutex);
  g_log.emplace_back(entry);
}

class TActionOne : public TSetupAction {
 public:
  static constexpr char16_t kClassName[] = u"TActionOne";
  void Execute() override { Log(u"one"); }
};

// Fails after reaching 40 percent.
class TActionFailing : public TSetupAction {
 public:
  static constexpr char16_t kClassName[] = u"TActionFailing";
  void Execute() override {
    Log(u"failing");
    SetProgress(40);
    throw EInstallerInstallError(u"Cannot write the file C:\\Nolu\\Nolu.exe.");
  }
};

class TActionThree : public TSetupAction {
 public:
  static constexpr char16_t kClassName[] = u"TActionThree";
  void Execute() override { Log(u"three"); }
};

// Ten files: 10, 20, ... 100 percent, the same value twice in between.
class TActionTenFiles : public TSetupAction {
 public:
  static constexpr char16_t kClassName[] = u"TActionTenFiles";
  void Execute() override {
    for (int file = 1; file <= 10; ++file) {
      SetStatus(u"file " + IntToStr(file));
      SetProgress(file * 10);
      SetProgress(file * 10);  // unchanged: sends nothing
    }
  }
};

class TActionForeignError : public TSetupAction {
 public:
  static constexpr char16_t kClassName[] = u"TActionForeignError";
  void Execute() override { throw std::runtime_error("bad things"); }
};

// Runs until the run is cancelled; its Cancel hook releases it.
class TActionBlocking : public TSetupAction {
 public:
  static constexpr char16_t kClassName[] = u"TActionBlocking";
  static inline std::unique_ptr<TEvent> started;
  static inline std::unique_ptr<TEvent> release;
  void Execute() override {
    Log(u"blocking");
    started->Set();
    release->Wait(kInfinite);
  }
  void Cancel() override {
    Log(u"cancel hook");
    release->Set();
  }
};

class SetupThreadTest : public ::testing::Test {
 protected:
  SetupThreadTest() { g_log.clear(); }

  TSetup& Create(std::vector<const TSetupActionClass*> actions) {
    run_.Product().install_actions = std::move(actions);
    TSetup& setup = run_.Create(u"/AUTO=C:\\Nolu /SILENT");
    setup.AddListener(&listener_);
    return setup;
  }

  std::vector<uint32_t> Codes() const {
    std::vector<uint32_t> codes;
    for (const auto& n : listener_.Received)
      codes.push_back(n.Code);
    return codes;
  }

  TRecordingListener listener_;  // outlives the setup object that calls it
  TFakeSetupRun run_;
};

TEST_F(SetupThreadTest, NoActions_FinishesAtOnce) {
  TSetup& setup = Create({});
  setup.Start(true);
  EXPECT_EQ(Codes(), (std::vector<uint32_t>{ncFinished}));
  EXPECT_EQ(listener_.Received[0].Value, 0);
  EXPECT_FALSE(setup.HasErrors());
  EXPECT_EQ(setup.State(), ssFinished);
}

TEST_F(SetupThreadTest, SecondActionRaises_OneErrorAndTheThirdNeverRuns) {
  TSetup& setup = Create({&ActionClassOf<TActionOne>(), &ActionClassOf<TActionFailing>(),
                          &ActionClassOf<TActionThree>()});
  setup.Start(true);
  EXPECT_EQ(g_log, (std::vector<String>{u"one", u"failing"}));
  EXPECT_EQ(setup.Errors(), StringList{u"Cannot write the file C:\\Nolu\\Nolu.exe."});
  // Each change: ncProgress then ncProgressRefresh; the run ends with ncFinished 0.
  EXPECT_EQ(Codes(), (std::vector<uint32_t>{ncProgress, ncProgressRefresh,  // one starts
                                            ncProgress, ncProgressRefresh,  // one at 100
                                            ncProgress, ncProgressRefresh,  // failing starts
                                            ncProgress, ncProgressRefresh,  // failing at 40
                                            ncFinished}));
  EXPECT_EQ(listener_.Progress(),
            (std::vector<std::pair<int, int>>{{0, 0}, {33, 100}, {33, 0}, {(100 + 40) / 3, 40}}));
  EXPECT_EQ(listener_.Received.back().Value, 0);
  for (const auto& n : listener_.Received)
    EXPECT_TRUE(n.OnMainThread);
}

TEST_F(SetupThreadTest, TenProgressSteps_ReportEachOnceWithItsStatus) {
  Create({&ActionClassOf<TActionTenFiles>()});
  run_.SetupObject().Start(true);
  std::vector<std::pair<int, int>> expected = {{0, 0}};
  for (int p = 10; p <= 100; p += 10)
    expected.emplace_back(p, p);
  EXPECT_EQ(listener_.Progress(), expected);
  int texts = 0;
  for (const auto& n : listener_.Received) {
    if (n.Code == ncStatusText) {
      EXPECT_EQ(n.Text, u"file " + IntToStr(++texts));
    }
  }
  EXPECT_EQ(texts, 10);
  // Run's own SetProgress(100) changed nothing after the last file.
  EXPECT_EQ(listener_.Received.back().Code, ncFinished);
}

TEST_F(SetupThreadTest, ForeignError_StillFailsTheRun) {
  TSetup& setup = Create({&ActionClassOf<TActionForeignError>(), &ActionClassOf<TActionOne>()});
  setup.Start(true);
  EXPECT_EQ(setup.Errors(), StringList{u"bad things"});
  EXPECT_TRUE(g_log.empty());
}

TEST_F(SetupThreadTest, CancelInsideAnAction_ItEndsAndTheRestIsSkipped) {
  TActionBlocking::started = run_.Platform().Messages().NewEvent();
  TActionBlocking::release = run_.Platform().Messages().NewEvent();
  TSetup& setup = Create({&ActionClassOf<TActionBlocking>(), &ActionClassOf<TActionOne>()});
  setup.Start(false);
  run_.Platform().Messages().WaitDispatching(*TActionBlocking::started);
  setup.Cancel();
  EXPECT_EQ(setup.Thread(), nullptr);
  EXPECT_EQ(g_log, (std::vector<String>{u"blocking", u"cancel hook"}));
  EXPECT_EQ(setup.State(), ssFinished);
  EXPECT_EQ(setup.Errors(), StringList{u"Setup was aborted."});
  EXPECT_EQ(listener_.Received.back().Code, ncFinished);
  EXPECT_EQ(listener_.Received.back().Value, 1);
  TActionBlocking::started.reset();
  TActionBlocking::release.reset();
}

TEST_F(SetupThreadTest, TerminatedBeforeTheFirstAction_NoActionRuns) {
  Create({&ActionClassOf<TActionOne>()});
  {
    TSetupThread thread;
    thread.Terminate();  // never resumed: terminating lets it run to its end
    thread.WaitFor();
    EXPECT_EQ(thread.Actions().Count(), 1);
    EXPECT_EQ(thread.CurrentAction(), nullptr);
  }
  EXPECT_TRUE(g_log.empty());
  EXPECT_EQ(run_.SetupObject().Errors(), StringList{u"Setup was aborted."});
  EXPECT_EQ(Codes(), (std::vector<uint32_t>{ncFinished}));
}

TEST_F(SetupThreadTest, CurrentAction_NamesTheLastActionStarted) {
  Create({&ActionClassOf<TActionOne>(), &ActionClassOf<TActionThree>()});
  run_.SetupObject().Start(true);
  TSetupThread* thread = run_.SetupObject().Thread();
  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(thread->CurrentAction(), &thread->Actions().Items(1));
  EXPECT_EQ(thread->Actions().Progress(), 100);
}

TEST_F(SetupThreadTest, DestroyingTheSetupMidRun_WaitsForTheWorker) {
  TActionBlocking::started = run_.Platform().Messages().NewEvent();
  TActionBlocking::release = run_.Platform().Messages().NewEvent();
  TSetup& setup = Create({&ActionClassOf<TActionBlocking>()});
  setup.RemoveListener(&listener_);
  setup.Start(false);
  run_.Platform().Messages().WaitDispatching(*TActionBlocking::started);
  run_.Destroy();
  EXPECT_EQ(nolu::Setup(), nullptr);
  EXPECT_EQ(g_log, (std::vector<String>{u"blocking", u"cancel hook"}));
  TActionBlocking::started.reset();
  TActionBlocking::release.reset();
}

TEST(SetupActionListTest, ProgressIsTheMeanRoundedDown) {
  struct TStep : TSetupAction {
    void Execute() override {}
  };
  TSetupActionList list;
  EXPECT_EQ(list.Progress(), 0);
  for (int p : {100, 40, 0}) {
    auto action = std::make_unique<TStep>();
    action->SetProgress(p);
    list.Add(std::move(action));
  }
  EXPECT_EQ(list.Progress(), 46);
}

}  // namespace
}  // namespace nolu
