#include "core/setup_thread.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "core/setup.h"
#include "core/testing/deadlock_watchdog.h"
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

// Calls `on_notify` for every notification it receives (on the main thread).
class TCallingListener : public IInstallerNotify {
 public:
  explicit TCallingListener(std::function<void(uint32_t code)> on_notify)
      : on_notify_(std::move(on_notify)) {}
  void Notify(uint32_t code, const TNotifyParam&) override { on_notify_(code); }

 private:
  std::function<void(uint32_t code)> on_notify_;
};

// The progress page processes messages inside its listener; a close request answered there
// cancels the run while the worker waits in its send for that very listener.
TEST_F(SetupThreadTest, CancelFromInsideANotification_StopsTheRunWithoutHanging) {
  TSetup& setup = Create({&ActionClassOf<TActionOne>(), &ActionClassOf<TActionThree>()});
  bool cancelled = false;
  TCallingListener canceller([&](uint32_t code) {
    if (code == ncProgress && !cancelled) {
      cancelled = true;
      setup.Cancel();
    }
  });
  setup.AddListener(&canceller);
  {
    TDeadlockWatchdog watchdog("Start(true) with a Cancel inside a notification");
    setup.Start(true);
  }
  // The action that was starting runs to its end; the next one is skipped.
  EXPECT_EQ(g_log, (std::vector<String>{u"one"}));
  EXPECT_EQ(setup.State(), ssFinished);
  EXPECT_EQ(setup.Errors(), StringList{u"Setup was aborted."});
  EXPECT_EQ(listener_.Received.back().Code, ncFinished);
  EXPECT_EQ(listener_.Received.back().Value, 1);
  // Outside a notification Cancel waits again and frees the worker.
  setup.Cancel();
  EXPECT_EQ(setup.Thread(), nullptr);
  setup.RemoveListener(&canceller);
}

TEST_F(SetupThreadTest, ListenerRemovedDuringADispatch_NoOtherIsCalledTwice) {
  TSetup& setup = Create({});
  std::vector<String> calls;
  TCallingListener first([&](uint32_t) { calls.push_back(u"first"); });
  TCallingListener second([&](uint32_t) { calls.push_back(u"second"); });
  TCallingListener third([&](uint32_t) {
    calls.push_back(u"third");
    setup.RemoveListener(&second);
  });
  for (IInstallerNotify* listener :
       {static_cast<IInstallerNotify*>(&first), static_cast<IInstallerNotify*>(&second),
        static_cast<IInstallerNotify*>(&third)}) {
    setup.AddListener(listener);
  }
  setup.Notify(ncNavigation, 0);
  // The recording listener came first; the last registered is called first, each once.
  EXPECT_EQ(calls, (std::vector<String>{u"third", u"first"}));
  calls.clear();
  setup.Notify(ncNavigation, 0);
  EXPECT_EQ(calls, (std::vector<String>{u"third", u"first"}));
  setup.RemoveListener(&first);
  setup.RemoveListener(&third);
}

// A listener that asks the worker for its current action takes the thread's lock: a worker
// that sent while holding it would never get its answer.
TEST_F(SetupThreadTest, NotificationsAreNeverSentUnderTheThreadsLock) {
  TSetup& setup = Create({&ActionClassOf<TActionOne>(), &ActionClassOf<TActionThree>()});
  std::vector<const TSetupAction*> seen;
  TCallingListener asker([&](uint32_t code) {
    if (code == ncProgress) seen.push_back(setup.Thread()->CurrentAction());
  });
  setup.AddListener(&asker);
  {
    TDeadlockWatchdog watchdog("a run whose listener takes the thread's lock");
    setup.Start(true);
  }
  const TSetupActionList& actions = setup.Thread()->Actions();
  EXPECT_EQ(seen, (std::vector<const TSetupAction*>{&actions.Items(0), &actions.Items(0),
                                                    &actions.Items(1), &actions.Items(1)}));
  setup.RemoveListener(&asker);
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
