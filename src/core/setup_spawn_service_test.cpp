#include "core/setup_spawn_service.h"

#include <gtest/gtest.h>

#include <thread>

#include "core/testing/fake_setup_run.h"

namespace nolu {
namespace {

class SetupSpawnServiceTest : public ::testing::Test {
 protected:
  ~SetupSpawnServiceTest() override { TSetupSpawnService::Finalize(); }

  std::vector<TFakeLaunch> Launches() { return run_.Platform().Processes().Launches(); }

  TFakeSetupRun run_;
};

TEST_F(SetupSpawnServiceTest, Initialize_LocalWindowOrRemote_AndOnlyOnce) {
  TSetupSpawnService::Initialize();
  EXPECT_FALSE(TSetupSpawnService::IsRemote());
  EXPECT_EQ(run_.Platform().Messages().WindowClass(TSetupSpawnService::Window()),
            u"TSetupSpawnService");
  EXPECT_EQ(TSetupSpawnService::SpawnToken(),
            run_.Platform().Windows().RegisterMessage(u"SpawnToken"));
  try {
    TSetupSpawnService::Initialize(TWindowId{77});
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), u"SpawnService is already initialized");
  }
  const TWindowId own = TSetupSpawnService::Window();
  TSetupSpawnService::Finalize();
  EXPECT_EQ(run_.Platform().Messages().WindowClass(own), u"");  // destroyed at the end

  TSetupSpawnService::Initialize(TWindowId{77});
  EXPECT_TRUE(TSetupSpawnService::IsRemote());
  EXPECT_EQ(TSetupSpawnService::Window(), TWindowId{77});
}

TEST_F(SetupSpawnServiceTest, Spawn_WithoutRemote_GoesThroughTheDesktopShell) {
  // The shell's program by its full path, in the system folder: a bare "Explorer.exe" would be
  // looked for in the current folder first, often the downloads folder.
  constexpr char16_t kSystem[] = u"C:\\Windows\\System32\\";
  struct Case {
    const char* what;
    uint32_t major;
    bool wine;
    const char16_t* path;
    const char16_t* file;
    const char16_t* parameters;
    const char16_t* folder;
  } cases[] = {
      {"Windows 10", 10, false, u"C:\\Program Files (x86)\\Nolu\\Nolu.exe",
       u"C:\\Windows\\Explorer.exe", u"\"C:\\Program Files (x86)\\Nolu\\Nolu.exe\"", kSystem},
      {"no blank: unquoted", 10, false, u"C:\\Nolu\\Nolu.exe", u"C:\\Windows\\Explorer.exe",
       u"C:\\Nolu\\Nolu.exe", kSystem},
      {"Wine", 10, true, u"C:\\Nolu\\Nolu.exe", u"C:\\Windows\\Explorer", u"C:\\Nolu\\Nolu.exe",
       kSystem},
      {"Windows XP", 5, false, u"C:\\Nolu\\Nolu.exe", u"C:\\Nolu\\Nolu.exe", u"", u""},
      {"address", 10, false, u"https://nolu.example/welcome", u"https://nolu.example/welcome", u"",
       u""},
      {"mail", 10, false, u"MAILTO:team@nolu.example", u"MAILTO:team@nolu.example", u"", u""},
      {"address under Wine", 10, true, u"https://nolu.example/", u"winebrowser",
       u"https://nolu.example/", u""},
  };
  for (const Case& c : cases) {
    TFakeSetupRun run;
    run.Platform().System().SetOsVersion(c.major, 1);
    run.Platform().System().SetWine(c.wine);
    run.Platform().Files().SetCurrentFolder(u"C:\\Users\\User\\Downloads");
    TSetupSpawnService::Spawn(c.path);
    const std::vector<TFakeLaunch> launches = run.Platform().Processes().Launches();
    ASSERT_EQ(launches.size(), 1u) << c.what;
    EXPECT_EQ(launches[0].How, TFakeLaunch::Via::kShellOpen) << c.what;
    EXPECT_EQ(launches[0].Verb, u"") << c.what;
    EXPECT_EQ(launches[0].File, c.file) << c.what;
    EXPECT_EQ(launches[0].Parameters, c.parameters) << c.what;
    EXPECT_EQ(launches[0].Folder, c.folder) << c.what;
  }
}

TEST_F(SetupSpawnServiceTest, IsAddress) {
  struct Case {
    const char16_t* text;
    bool expected;
  } cases[] = {
      {u"http://x", true},
      {u"svn+ssh://host/repo", true},
      {u"mailto:a@b", true},
      {u"C://Nolu", false},
      {u"C:\\Nolu\\Nolu.exe", false},
      {u"1http://x", false},
      {u"://x", false},
      {u"", false},
      {u"mailto", false},
      {u"my file://x", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TSetupSpawnService::IsAddress(c.text), c.expected) << StringToUtf8(c.text);
  }
}

TEST_F(SetupSpawnServiceTest, LocalWindow_OpensWhatTheElevatedInstanceSends) {
  TSetupSpawnService::Initialize();
  const TWindowId window = TSetupSpawnService::Window();
  const uint32_t token = TSetupSpawnService::SpawnToken();
  IMessageChannel& channel = run_.Platform().Messages();
  // The elevated instance that this one started, and another program of the desktop.
  constexpr uint32_t kElevated = 0x1234, kOther = 0x5678;
  TFakeDesktopWindows& desktop = run_.Platform().Windows();
  const TWindowId elevated_window = desktop.AddWindow(u"TSetupSpawnClient", u"", {}, kElevated);
  const TWindowId other_window = desktop.AddWindow(u"TSetupSpawnClient", u"", {}, kOther);
  auto done = channel.NewEvent();
  std::thread elevated([&] {
    // Before the instance is known nothing is served.
    channel.SendText(window, token, u"C:\\Early.exe", elevated_window);
    done->Set();
  });
  channel.WaitDispatching(*done);
  elevated.join();
  EXPECT_TRUE(Launches().empty());

  TSetupSpawnService::ServeRequestsFrom(kElevated);
  done->Reset();
  std::thread requests([&] {
    channel.SendText(window, token, u"C:\\Nolu\\Nolu.exe", elevated_window);
    channel.SendText(window, token, u"", elevated_window);                   // byte count 0
    channel.SendText(window, token + 1, u"C:\\Other.exe", elevated_window);  // not a request
    channel.SendValue(window, token, 0);                                     // not a text
    // Someone else on the desktop, in its own name or in none.
    channel.SendText(window, token, u"C:\\Users\\Public\\evil.exe", other_window);
    channel.SendText(window, token, u"C:\\Users\\Public\\evil.exe", TWindowId{});
    done->Set();
  });
  channel.WaitDispatching(*done);
  requests.join();
  const std::vector<TFakeLaunch> launches = Launches();
  ASSERT_EQ(launches.size(), 2u);
  EXPECT_EQ(launches[0].File, u"C:\\Nolu\\Nolu.exe");
  EXPECT_EQ(launches[1].File, u"");
}

TEST_F(SetupSpawnServiceTest, Remote_SendsTheRequestAndFallsBackWhenTheWindowIsGone) {
  // The waiting instance's window, on the same fake machine.
  std::vector<TChannelMessage> received;
  auto window =
      run_.Platform().Messages().CreateMessageWindow(u"Other", [&](const TChannelMessage& m) {
        received.push_back(m);
        return 0;
      });
  TSetupSpawnService::Initialize(window->Id());
  TSetupSpawnService::Spawn(u"C:\\Nolu\\Nolu.exe");
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].MessageKind, TChannelMessage::Kind::kText);
  EXPECT_EQ(received[0].Code, TSetupSpawnService::SpawnToken());
  EXPECT_EQ(received[0].Text, u"C:\\Nolu\\Nolu.exe");
  // The sender is a window of this instance's own, by which the waiting one knows it.
  EXPECT_EQ(run_.Platform().Messages().WindowClass(received[0].Sender), u"TSetupSpawnClient");
  EXPECT_TRUE(Launches().empty());

  window.reset();
  TSetupSpawnService::Spawn(u"C:\\Nolu\\Nolu.exe");
  const std::vector<TFakeLaunch> launches = Launches();
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_EQ(launches[0].File, u"C:\\Windows\\Explorer.exe");
  TSetupSpawnService::Finalize();
  EXPECT_EQ(run_.Platform().Messages().WindowClass(received[0].Sender), u"");
}

}  // namespace
}  // namespace nolu
