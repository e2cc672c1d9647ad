// The Win32 message channel under Wine: message-only windows receive SendMessageW from a
// worker while the main thread waits with MsgWaitForMultipleObjectsEx.
#include "platform/win32/message_channel_win32.h"

#include <gtest/gtest.h>

#include <thread>

#include "base/errors.h"
#include "platform/error_codes.h"
#include "platform/win32/handles.h"

namespace nolu {
namespace {

class Win32ChannelTest : public ::testing::Test {
 protected:
  void RunWorker(const std::function<void()>& body) {
    std::unique_ptr<TEvent> done = channel.NewEvent();
    std::thread worker([&] {
      body();
      done->Set();
    });
    EXPECT_TRUE(channel.WaitDispatching(*done, kInfinite));
    worker.join();
  }

  TWin32MessageChannel channel;
};

TEST_F(Win32ChannelTest, WorkerSendsReachTheMainThreadWhileItWaits) {
  std::vector<TChannelMessage> received;
  std::vector<bool> on_main;
  auto window = channel.CreateMessageWindow(u"TSetup", [&](const TChannelMessage& m) {
    on_main.push_back(channel.IsMainThread());
    received.push_back(m);
    return m.MessageKind == TChannelMessage::Kind::kValue ? m.Param + 1 : 77;
  });
  std::vector<int64_t> results;
  RunWorker([&] {
    results.push_back(channel.SendValue(window->Id(), 2, 10));
    results.push_back(channel.SendValue(window->Id(), 2, 20));
    results.push_back(channel.SendText(window->Id(), 4, u"Extracting Nolu.exe", window->Id()));
    results.push_back(channel.SendText(window->Id(), 4, u"", TWindowId{}));
  });
  ASSERT_EQ(received.size(), 4u);
  EXPECT_EQ(results, (std::vector<int64_t>{11, 21, 77, 77}));
  EXPECT_EQ(on_main, (std::vector<bool>(4, true)));
  EXPECT_EQ(received[1].Param, 20);
  EXPECT_EQ(received[2].MessageKind, TChannelMessage::Kind::kText);
  EXPECT_EQ(received[2].Code, 4u);
  EXPECT_EQ(received[2].Text, u"Extracting Nolu.exe");
  EXPECT_EQ(received[2].Sender, window->Id());
  EXPECT_EQ(received[3].Text, u"");
}

TEST_F(Win32ChannelTest, SynchronizeRunsOnTheMainThreadAndCarriesErrorsBack) {
  bool ran_on_main = false;
  String caught;
  RunWorker([&] {
    channel.Synchronize([&] { ran_on_main = channel.IsMainThread(); });
    try {
      channel.Synchronize([] { throw EInvalidOperation(u"aborted"); });
    } catch (const EInvalidOperation& e) {
      caught = e.Message();
    }
  });
  EXPECT_TRUE(ran_on_main);
  EXPECT_EQ(caught, u"aborted");
}

// Any program of the desktop can send the channel's private message, with whatever numbers it
// likes: they are not looked at. Before, a pointer was taken from them and called.
TEST_F(Win32ChannelTest, ASynchronizeMessageFromSomeoneElseCarriesNothingThatIsUsed) {
  const HWND sync =
      ::FindWindowExW(HWND_MESSAGE, nullptr, TWin32MessageChannel::kSyncClass, nullptr);
  ASSERT_TRUE(sync);
  RunWorker([&] {
    ::SendMessageW(sync, TWin32MessageChannel::kSyncMessage, 0x4142, 0x12345678);
    ::SendMessageW(sync, TWin32MessageChannel::kSyncMessage, 0, 0);
  });
  bool ran = false;
  RunWorker([&] { channel.Synchronize([&] { ran = true; }); });
  EXPECT_TRUE(ran);
}

// A window of another program that does not answer gives up a send with a limit; without the
// limit the sender would wait for ever.
TEST_F(Win32ChannelTest, ATextSendToAWindowThatDoesNotAnswerEndsAtItsLimit) {
  HWND hung = nullptr;
  TKernelHandle created(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  TKernelHandle release(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::thread owner([&] {
    hung = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                             nullptr);
    ::SetEvent(created.Get());
    ::WaitForSingleObject(release.Get(), INFINITE);  // no message is ever served
    ::DestroyWindow(hung);
  });
  ::WaitForSingleObject(created.Get(), INFINITE);
  ASSERT_TRUE(hung);
  uint32_t error = kErrorSuccess;
  const int64_t result = channel.SendText(TWindowId{reinterpret_cast<uintptr_t>(hung)}, 1,
                                          u"C:\\Nolu\\Nolu.exe", TWindowId{}, &error, 300);
  ::SetEvent(release.Get());
  owner.join();
  EXPECT_EQ(result, 0);
  EXPECT_EQ(error, kErrorTimeout);
}

TEST_F(Win32ChannelTest, GoneWindowsAndFinishedWaits) {
  auto window = channel.CreateMessageWindow(u"TSetup", [](const TChannelMessage&) { return 1; });
  const TWindowId id = window->Id();
  window.reset();
  uint32_t error = 0;
  EXPECT_EQ(channel.SendValue(id, 1, 1, &error), 0);
  EXPECT_EQ(error, kErrorInvalidWindowHandle);

  std::unique_ptr<TEvent> event = channel.NewEvent();
  EXPECT_FALSE(channel.WaitDispatching(*event, 0));
  event->Set();
  EXPECT_TRUE(channel.WaitDispatching(*event, 0));
}

}  // namespace
}  // namespace nolu
