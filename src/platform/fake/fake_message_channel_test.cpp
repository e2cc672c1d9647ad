// The fake main-thread channel with real worker threads, and the services that answer on the
// main thread: message boxes, desktop windows, module resources.
#include "platform/fake/fake_message_channel.h"

#include <gtest/gtest.h>

#include <thread>

#include "base/errors.h"
#include "platform/error_codes.h"
#include "platform/fake/fake_platform.h"

namespace nolu {
namespace {

class FakeChannelTest : public ::testing::Test {
 protected:
  // Runs `body` on a worker thread that sets an event at its end, and waits for it the way
  // the main thread must: dispatching.
  void RunWorker(const std::function<void()>& body) {
    std::unique_ptr<TEvent> done = channel().NewEvent();
    std::thread worker([&] {
      body();
      done->Set();
    });
    EXPECT_TRUE(channel().WaitDispatching(*done, kInfinite));
    worker.join();
  }
  TFakeMessageChannel& channel() { return fake.Messages(); }

  TFakePlatform fake;
};

TEST_F(FakeChannelTest, WorkerSendsRunOnTheMainThreadInOrderWithTheirResults) {
  std::vector<std::pair<uint64_t, int64_t>> received;
  std::vector<bool> on_main;
  auto window = channel().CreateMessageWindow(u"TSetup", [&](const TChannelMessage& m) {
    on_main.push_back(channel().IsMainThread());
    received.emplace_back(m.Code, m.Param);
    return m.Param * 2;
  });
  std::vector<int64_t> results;
  RunWorker([&] {
    for (int i = 1; i <= 3; ++i)
      results.push_back(channel().SendValue(window->Id(), 2, i * 10));
  });
  EXPECT_EQ(received, (std::vector<std::pair<uint64_t, int64_t>>{{2, 10}, {2, 20}, {2, 30}}));
  EXPECT_EQ(results, (std::vector<int64_t>{20, 40, 60}));
  EXPECT_EQ(on_main, (std::vector<bool>{true, true, true}));
  EXPECT_EQ(channel().DispatchedCount(), 3);

  // From the main thread itself the handler runs directly.
  EXPECT_EQ(channel().SendValue(window->Id(), 5, 4), 8);
}

TEST_F(FakeChannelTest, TextsTravelWithCodeAndSender) {
  std::vector<TChannelMessage> received;
  auto window = channel().CreateMessageWindow(u"TSetupSpawnService", [&](const TChannelMessage& m) {
    received.push_back(m);
    return 1;
  });
  const TWindowId sender{0x4242};
  RunWorker([&] {
    channel().SendText(window->Id(), 0xC001, u"C:\\Nolu\\Nolu.exe", sender);
    channel().SendText(window->Id(), 4, u"", TWindowId{});
  });
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[0].MessageKind, TChannelMessage::Kind::kText);
  EXPECT_EQ(received[0].Code, 0xC001u);
  EXPECT_EQ(received[0].Text, u"C:\\Nolu\\Nolu.exe");
  EXPECT_EQ(received[0].Sender, sender);
  EXPECT_EQ(received[1].Text, u"");
  EXPECT_EQ(channel().WindowClass(window->Id()), u"TSetupSpawnService");
}

// A text send with a limit is withdrawn when the main thread does not serve it in time, and
// never runs afterwards; without a limit it waits for as long as it takes.
TEST_F(FakeChannelTest, ATextSendWithALimitGivesUpOnAMainThreadThatDoesNotServe) {
  int handled = 0;
  auto window = channel().CreateMessageWindow(u"TSetupSpawnService", [&](const TChannelMessage&) {
    ++handled;
    return 7;
  });
  uint32_t error = kErrorSuccess;
  int64_t result = -1;
  std::thread worker([&] {
    result = channel().SendText(window->Id(), 1, u"x", TWindowId{}, &error, /*timeout_ms=*/50);
  });
  worker.join();  // the main thread does not dispatch meanwhile
  EXPECT_EQ(error, kErrorTimeout);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(channel().PendingCount(), 0);
  channel().DispatchPending();
  EXPECT_EQ(handled, 0);

  RunWorker(
      [&] { result = channel().SendText(window->Id(), 1, u"x", TWindowId{}, &error, 60000); });
  EXPECT_EQ(error, kErrorSuccess);
  EXPECT_EQ(result, 7);
  EXPECT_EQ(handled, 1);
}

TEST_F(FakeChannelTest, HandlerErrorsAreSwallowedAndGoneWindowsReported) {
  auto window = channel().CreateMessageWindow(
      u"TSetup", [](const TChannelMessage&) -> int64_t { throw Exception(u"listener failed"); });
  uint32_t error = 99;
  RunWorker([&] { EXPECT_EQ(channel().SendValue(window->Id(), 1, 1, &error), 0); });
  EXPECT_EQ(error, kErrorSuccess);
  const TWindowId id = window->Id();
  window.reset();
  RunWorker([&] { channel().SendValue(id, 1, 1, &error); });
  EXPECT_EQ(error, kErrorInvalidWindowHandle);
}

TEST_F(FakeChannelTest, SynchronizeRunsOnTheMainThreadAndRethrowsInTheWorker) {
  bool ran_on_main = false;
  String caught;
  RunWorker([&] {
    channel().Synchronize([&] { ran_on_main = channel().IsMainThread(); });
    try {
      channel().Synchronize([] { throw EInvalidOperation(u"no"); });
    } catch (const EInvalidOperation& e) {
      caught = e.Message();
    }
  });
  EXPECT_TRUE(ran_on_main);
  EXPECT_EQ(caught, u"no");
}

TEST_F(FakeChannelTest, WaitingForAProcessServesItsRequests) {
  // An elevated instance asks the waiting one to start a program, through the window whose id
  // it was given, and only then ends.
  String spawned;
  auto window = channel().CreateMessageWindow(u"TSetupSpawnService", [&](const TChannelMessage& m) {
    spawned = m.Text;
    return 0;
  });
  const TWindowId id = window->Id();
  fake.Processes().SetProgram(u"Setup.exe", [&](const TFakeLaunch&) {
    channel().SendText(id, 0xC000, u"C:\\Nolu\\Nolu.exe", TWindowId{});
    return 0u;
  });
  TStartResult started = fake.Shell().Execute(
      {u"runas", u"C:\\Users\\User\\Downloads\\Setup.exe", u"", u"", kSwShowNormal});
  ASSERT_TRUE(started.Process);
  EXPECT_TRUE(channel().WaitDispatching(*started.Process, kInfinite));
  EXPECT_EQ(spawned, u"C:\\Nolu\\Nolu.exe");
}

TEST_F(FakeChannelTest, ATimedOutWaitReportsFalse) {
  std::unique_ptr<TEvent> never = channel().NewEvent();
  EXPECT_FALSE(channel().WaitDispatching(*never, 0));
  never->Set();
  EXPECT_TRUE(channel().WaitDispatching(*never, 0));
  never->Reset();
  EXPECT_FALSE(never->IsSignaled());
}

TEST(FakeChannelEndTest, AnEndingChannelReleasesBlockedSenders) {
  for (const bool synchronize : {false, true}) {
    auto hub = std::make_shared<TFakeHub>();
    auto channel = std::make_unique<TFakeMessageChannel>(hub);
    auto window = channel->CreateMessageWindow(u"TSetup", [](const TChannelMessage&) { return 1; });
    const TWindowId id = window->Id();
    TFakeMessageChannel* raw = channel.get();
    uint32_t error = 0;
    bool sync_failed = false;
    std::thread worker([&] {
      if (!synchronize) {
        raw->SendValue(id, 1, 1, &error);
        return;
      }
      try {
        raw->Synchronize([] {});
      } catch (const EInvalidOperation&) {
        sync_failed = true;
      }
    });
    while (channel->PendingCount() == 0)
      std::this_thread::yield();
    window.reset();
    channel.reset();  // the main thread goes away without serving
    worker.join();
    if (synchronize) {
      EXPECT_TRUE(sync_failed);
    } else {
      EXPECT_EQ(error, kErrorInvalidWindowHandle);
    }
  }
}

TEST(FakeMessageBoxTest, AnswersWithTheDefaultButtonOrTheTestsChoice) {
  struct Row {
    uint32_t style;
    int answer;
  };
  const Row rows[] = {
      {kMbOk | kMbIconError, kIdOk},
      {kMbAbortRetryIgnore | kMbIconWarning | kMbDefButton2, kIdRetry},  // 306
      {kMbAbortRetryIgnore, kIdAbort},
      {kMbYesNo | kMbDefButton2, kIdNo},
      {kMbOkCancel | 0x200, kIdOk},  // a third default button that does not exist
  };
  for (const Row& r : rows)
    EXPECT_EQ(TFakeMessageBox::DefaultAnswer(r.style), r.answer) << r.style;

  TFakePlatform fake;
  fake.Dialogs().SetAnswer([](const TFakeMessageBoxCall& call) {
    return call.Text.find(u"locked") != String::npos ? kIdIgnore : kIdOk;
  });
  int answer = 0;
  std::unique_ptr<TEvent> done = fake.Messages().NewEvent();
  std::thread worker([&] {
    fake.Messages().Synchronize(
        [&] { answer = fake.Dialogs().ShowMessageBox(u"C:\\Nolu\\Nolu.exe is locked", u"", 306); });
    done->Set();
  });
  fake.Messages().WaitDispatching(*done, kInfinite);
  worker.join();
  EXPECT_EQ(answer, kIdIgnore);
  const auto calls = fake.Dialogs().Calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_TRUE(calls[0].OnMainThread);
  EXPECT_EQ(calls[0].Style, 306u);
}

TEST(FakeDesktopWindowsTest, WindowsAreFoundClosedAndOwned) {
  TFakePlatform fake;
  TFakeDesktopWindows& windows = fake.Windows();
  int closes = 0;
  const TWindowId main = windows.AddWindow(u"TNoluMainForm", u"C:\\Nolu\\Nolu.exe", [&] {
    return ++closes == 2;  // asks to save first, closes on the second request
  });
  const TWindowId editor = windows.AddWindow(u"TNolu2EditorForm", u"C:\\Nolu\\Editor.exe");
  EXPECT_EQ(windows.FindTopLevelWindow(u"tnolumainform"), main);
  EXPECT_FALSE(windows.FindTopLevelWindow(u"TNoluLibMainForm"));
  EXPECT_EQ(windows.WindowOwnerExecutable(main), u"C:\\Nolu\\Nolu.exe");
  const TWindowId client = windows.AddWindow(u"TSetupSpawnClient", u"C:\\Temp\\Uninstall.exe", {},
                                             /*process_id=*/0x1004);
  EXPECT_EQ(windows.WindowProcessId(client), 0x1004u);
  EXPECT_EQ(windows.WindowProcessId(TWindowId{0xBAD}), 0u);

  EXPECT_EQ(windows.SendClose(main, kInfinite), kErrorSuccess);
  EXPECT_TRUE(windows.WindowExists(main));
  EXPECT_EQ(windows.SendClose(main, kInfinite), kErrorSuccess);
  EXPECT_FALSE(windows.WindowExists(main));
  EXPECT_EQ(windows.SendClose(main, kInfinite), kErrorInvalidWindowHandle);
  windows.SetHung(editor, true);
  EXPECT_EQ(windows.SendClose(editor, 5000), kErrorTimeout);
  EXPECT_EQ(windows.CloseRequests(), (std::vector<TWindowId>{main, main, editor}));
  EXPECT_EQ(windows.WindowOwnerExecutable(main), u"");

  const uint32_t token = windows.RegisterMessage(u"SpawnToken");
  EXPECT_GE(token, 0xC000u);
  EXPECT_EQ(windows.RegisterMessage(u"spawntoken"), token);
  EXPECT_NE(windows.RegisterMessage(u"Other"), token);
}

TEST(FakeModuleResourcesTest, RcDataByNameOrAClearError) {
  TFakePlatform fake;
  PlatformScope scope(fake);
  fake.Resources().SetRcData(u"SETUP", Bytes{'I', 'P', 'K', '5'});
  auto data = fake.Resources().RcData(u"setup");
  ASSERT_TRUE(data);
  EXPECT_EQ(data->size(), 4u);
  EXPECT_EQ(RcDataOrRaise(u"SETUP")[0], 'I');
  try {
    RcDataOrRaise(u"PRODUCT");
    FAIL();
  } catch (const EResNotFound& e) {
    EXPECT_EQ(e.Message(), u"Resource PRODUCT not found");
  }
}

}  // namespace
}  // namespace nolu
