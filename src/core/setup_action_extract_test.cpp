#include "core/setup_action_extract.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <utility>

#include "base/memory_stream.h"
#include "core/testing/fake_setup_run.h"
#include "core/testing/watched_file_system.h"
#include "package/lzma_streams.h"
#include "package/setup_package_reader.h"
#include "platform/error_codes.h"
#include "resources/setup_resources.h"

namespace nolu {
namespace {

const TRegKey kUninstallEntry(RegRoot::kLocalMachine, RegView::k32,
                              u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Nolu");

std::string ScriptWithComponents(std::string_view components) {
  return R"(<?xml version="1.0" encoding="utf-8"?>
<setup><product>
  <Settings>
    <Setting name="ProductName" value="Nolu"/>
    <Setting name="ProductVersionNo" value="5.40.1"/>
    <Setting name="Publisher" value="Nolu Team"/>
  </Settings>
  <Components>)" +
         std::string(components) + R"(</Components>
</product></setup>)";
}

class SetupActionExtractTest : public ::testing::Test {
 protected:
  SetupActionExtractTest() : files_(run_.Platform().Files()) {
    run_.Product().install_actions = {&ActionClassOf<TSetupActionExtract>()};
  }

  // The "Uninstall" section of the record in "Uninstall.dat", as key=value lines.
  StringList RecordedPaths(StringView dest = u"C:\\Nolu\\") {
    const std::optional<Bytes> bytes = files_.FileBytes(String(dest) + u"Uninstall.dat");
    if (!bytes) return {u"<no Uninstall.dat>"};
    TMemoryStream file(*bytes);
    TSetupPackageReader reader(file);
    std::unique_ptr<TMemoryStream> entry;
    if (!reader.Extract(u"Uninstall.ini", entry)) return {u"<no Uninstall.ini>"};
    TRuxIniFile record;
    record.LoadFromStream(*entry);
    return SplitAt(record.ReadSectionText(u"Uninstall"));
  }

  static StringList SplitAt(const String& text) {
    StringList lines;
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find(u"\r\n", start);
      if (end == String::npos) end = text.size();
      lines.push_back(text.substr(start, end - start));
      start = end + 2;
    }
    return lines;
  }

  TFakeSetupRun run_;
  TFakeFileSystem& files_;
};

// Records, for every progress notification, how many of the run's files existed by then.
class ProgressWatcher : public IInstallerNotify {
 public:
  ProgressWatcher(TFakeFileSystem& files, StringList targets) : files_(files), targets_(targets) {}

  void Notify(uint32_t code, const TNotifyParam& param) override {
    if (code == ncStatusText) statuses.push_back(*param.Text);
    if (code != ncProgress) return;
    int written = 0;
    for (const String& target : targets_)
      written += files_.FileExists(target) ? 1 : 0;
    progress.emplace_back(static_cast<int>(param.Value & 0xFFFF), written);
  }

  std::vector<std::pair<int, int>> progress;  // (action's progress, files written)
  StringList statuses;

 private:
  TFakeFileSystem& files_;
  StringList targets_;
};

TEST_F(SetupActionExtractTest, TenEntriesRaiseProgressBeforeEachFileAndHundredOnce) {
  std::string components;
  StringList targets;
  for (int i = 0; i < 10; ++i) {
    const std::string name = "f" + std::to_string(i) + ".bin";
    components += "<File name=\"$DEST\\" + name + "\"/>";
    run_.Data().SetProductFile(AsciiToString(name), name);
    targets.push_back(u"C:\\Nolu\\" + AsciiToString(name));
  }
  run_.Data().SetSetupFile(u"Install.xml", ScriptWithComponents(components));
  TSetup& setup = run_.Create(u"/AUTO=\"C:\\Nolu\" /SILENT");
  ProgressWatcher watcher(files_, targets);
  setup.AddListener(&watcher);
  setup.Start(true);
  setup.RemoveListener(&watcher);

  EXPECT_EQ(setup.Errors(), StringList{});
  const std::vector<std::pair<int, int>> expected = {
      {0, 0},  {10, 0}, {20, 1}, {30, 2}, {40, 3},  {50, 4},
      {60, 5}, {70, 6}, {80, 7}, {90, 8}, {100, 9},  // the last before the tenth file
  };
  EXPECT_EQ(watcher.progress, expected);
  EXPECT_EQ(watcher.statuses,
            (StringList{u"Copying files...", u"Writing the uninstall record..."}));
  for (const String& target : targets)
    EXPECT_TRUE(files_.FileExists(target)) << StringToUtf8(target);
}

TEST_F(SetupActionExtractTest, ProgressIsTruncatedForCountsThatDoNotDivideHundred) {
  run_.Data().SetSetupFile(u"Install.xml",
                           ScriptWithComponents(R"(<File name="$DEST\a.exe">Nolu.exe</File>
                                                   <File name="$DEST\b.exe">Nolu.exe</File>
                                                   <File name="$DEST\c.exe">Nolu.exe</File>)"));
  TSetup& setup = run_.Create(u"/AUTO=\"C:\\Nolu\" /SILENT");
  TRecordingListener listener;
  setup.AddListener(&listener);
  setup.Start(true);
  setup.RemoveListener(&listener);
  std::vector<int> current;
  for (const auto& [overall, action] : listener.Progress())
    current.push_back(action);
  EXPECT_EQ(current, (std::vector<int>{0, 33, 66, 100}));
}

TEST_F(SetupActionExtractTest, ExtractsAndRecordsOnlyTheRunsLanguageFamily) {
  struct Case {
    uint16_t ui_language;
    std::string readme;
  } cases[] = {
      {1033, "Read me"},
      {1031, "Lies mich"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ui_language);
    run_.Platform().System().SetUserDefaultUILanguage(c.ui_language);
    // The family of an entry is compared without regard to case.
    run_.Data().SetSetupFile(u"Install.xml", ScriptWithComponents(R"(<File name="$DEST\Nolu.exe"/>
                                <File name="$DEST\Readme.txt" lang-family="en">Readme_EN.txt</File>
                                <File name="$DEST\Readme.txt" lang-family="de">Readme_DE.txt</File>
                                <File name="$DEST\System\nolu_menu64.dll">System\nolu_menu64.dll</File>)"));
    const String dest = u"C:\\Nolu" + IntToStr(c.ui_language) + u"\\";
    TSetup& setup = run_.Create(u"/AUTO=\"" + dest + u"\" /SILENT");
    TSetupActionExtract action;
    EXPECT_EQ(action.CreateFileList().size(), 3u);
    setup.Start(true);
    EXPECT_EQ(setup.Errors(), StringList{});
    EXPECT_EQ(files_.FileText(dest + u"Readme.txt"), c.readme);
    EXPECT_EQ(RecordedPaths(dest),
              (StringList{u"0=Nolu.exe", u"Count=5", u"1=Readme.txt", u"2=System\\nolu_menu64.dll",
                          u"3=Uninstall.dat", u"4=Uninstall.exe"}));
  }
}

// However the destination is written, every file of the run lands in the one folder it names
// and the record holds only paths relative to it, which the uninstaller takes.
TEST_F(SetupActionExtractTest, EveryFileLandsInTheDestinationAsWritten) {
  struct Case {
    const char16_t* given;
    const char16_t* folder;  // where the files are
  } cases[] = {
      {u"C:\\Users\\User\\.apps\\Nolu", u"C:\\Users\\User\\.apps\\Nolu\\"},
      {u"C:\\Apps\\ Nolu\\", u"C:\\Apps\\ Nolu\\"},
      {u"C:\\Apps\\...Nolu", u"C:\\Apps\\...Nolu\\"},
      {u"\\\\?\\C:\\Nolu", u"C:\\Nolu\\"},
      {u"\\\\?\\UNC\\server\\share\\Nolu", u"\\\\server\\share\\Nolu\\"},
      {u"C:\\\\Apps\\\\Nolu", u"C:\\Apps\\Nolu\\"},
  };
  run_.Data().SetSetupFile(u"Install.xml", ScriptWithComponents(R"(<File name="$DEST\Nolu.exe"/>
      <File name="$DEST\\System\nolu_menu64.dll">System\nolu_menu64.dll</File>)"));
  files_.AddDrive(u"\\\\server\\share");
  for (const Case& c : cases) {
    SCOPED_TRACE(StringToUtf8(c.given));
    TSetup& setup = run_.Create(u"/AUTO=\"" + String(c.given) + u"\" /SILENT");
    setup.Start(true);

    EXPECT_EQ(setup.Errors(), StringList{});
    const String folder = c.folder;
    for (StringView file : {u"Nolu.exe", u"System\\nolu_menu64.dll", u"Uninstall.exe"})
      EXPECT_TRUE(files_.FileExists(folder + String(file))) << StringToUtf8(file);
    EXPECT_EQ(RecordedPaths(folder),
              (StringList{u"0=Nolu.exe", u"Count=4", u"1=System\\nolu_menu64.dll",
                          u"2=Uninstall.dat", u"3=Uninstall.exe"}));
  }
}

TEST_F(SetupActionExtractTest, TheFirstFailureEndsTheRunBeforeTheRecord) {
  run_.Data().SetSetupFile(u"Install.xml", ScriptWithComponents(R"(<File name="$DEST\Nolu.exe"/>
                                                   <File name="$DEST\Missing.dll"/>
                                                   <File name="$DEST\Readme.txt">Readme_EN.txt</File>)"));
  TSetup& setup = run_.Create(u"/AUTO=\"C:\\Nolu\" /SILENT");
  setup.Start(true);
  EXPECT_EQ(
      setup.Errors(),
      StringList{u"C:\\Nolu\\Missing.dll\r\nCannot locate \"Missing.dll\" file in setup archive"});
  EXPECT_TRUE(files_.FileExists(u"C:\\Nolu\\Nolu.exe"));
  EXPECT_FALSE(files_.FileExists(u"C:\\Nolu\\Readme.txt"));
  EXPECT_FALSE(files_.FileExists(u"C:\\Nolu\\Uninstall.exe"));
  EXPECT_FALSE(files_.FileExists(u"C:\\Nolu\\Uninstall.dat"));
  EXPECT_FALSE(run_.Platform().Registry().KeyExists(kUninstallEntry));
}

TEST_F(SetupActionExtractTest, QuestionsDuringARunAreAskedOnTheMainThread) {
  struct Case {
    int answer;
    StringList errors;
    std::string content;
  } cases[] = {
      {kIdIgnore, {}, "running"},  // the run goes on; the old file stays
      {kIdAbort, {u"C:\\Nolu\\Nolu.exe\r\nCannot write the file C:\\Nolu\\Nolu.exe."}, "running"},
      {kIdRetry, {}, "MZ nolu"},  // the test lets go of the file when asked
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    const size_t asked_before = run_.Platform().Dialogs().Calls().size();
    TSetup& setup = run_.Create(u"/AUTO=\"C:\\Nolu\" /SILENT");
    files_.AddFile(u"C:\\Nolu\\Nolu.exe", "running");
    files_.SetInUse(u"C:\\Nolu\\Nolu.exe");
    run_.Platform().Dialogs().SetAnswer([&](const TFakeMessageBoxCall& call) {
      EXPECT_TRUE(call.OnMainThread);
      if (c.answer == kIdRetry) files_.ClearInUse(u"C:\\Nolu\\Nolu.exe");
      return c.answer;
    });
    setup.Start(true);
    EXPECT_EQ(setup.Errors(), c.errors);
    EXPECT_EQ(run_.Platform().Dialogs().Calls().size(), asked_before + 1);
    files_.ClearInUse(u"C:\\Nolu\\Nolu.exe");
    EXPECT_EQ(files_.FileText(u"C:\\Nolu\\Nolu.exe"), c.content);
    // A skipped file is still the product's: the record lists it.
    if (c.errors.empty()) {
      EXPECT_EQ(RecordedPaths().at(0), u"0=Nolu.exe");
    }
    run_.Destroy();
    run_.Platform().Dialogs().SetAnswer({});
  }
}

// --- A first installation writes while the product package decodes.

// Bytes that the package cannot shrink, so that the body takes many blocks of input.
std::string Noise(size_t size) {
  std::string out(size, '\0');
  uint32_t x = 12345;
  for (char& c : out) {
    x = x * 1664525 + 1013904223;
    c = static_cast<char>(x >> 24);
  }
  return out;
}

// A small file first, then one of many blocks in folders of its own, then a small one.
void SetStreamedPayload(TFakeSetupData& data) {
  data.SetProductFile(u"first.txt", "first");
  data.SetProductFile(u"noise.bin", Noise(512 * 1024));
  data.SetProductFile(u"last.txt", "last");
  data.SetSetupFile(u"Install.xml", ScriptWithComponents(R"(<File name="$DEST\first.txt"/>
      <File name="$DEST\Data\Big\noise.bin">noise.bin</File>
      <File name="$DEST\last.txt"/>)"));
}

class FirstInstallationTest : public SetupActionExtractTest {
 protected:
  static constexpr const char16_t* kFirst = u"C:\\Nolu\\first.txt";
  static constexpr const char16_t* kParams = u"/AUTO=\"C:\\Nolu\" /SILENT";

  FirstInstallationTest() { SetStreamedPayload(run_.Data()); }
};

TEST_F(FirstInstallationTest, WritesTheFirstFileWhileTheBodyIsStillDecoding) {
  TWatchedPlatform watched(run_.Platform());
  PlatformScope scope(watched);
  std::mutex mutex;
  std::condition_variable changed;
  bool first_opened = false;
  bool finished_at_first = true;
  bool held = false;
  // The decoding holds at its third block of input until the first file is being written.
  // Without writing during the decoding that never happens: the hold gives up once, after a
  // while, and the expectation below fails.
  run_.Platform().Resources().SetReadHook([&](const String& name, int64_t position) {
    if (name != u"PRODUCT" || position < static_cast<int64_t>(2 * kLZMABlockSize)) return;
    std::unique_lock lock(mutex);
    if (std::exchange(held, true)) return;
    changed.wait_for(lock, std::chrono::seconds(20), [&] { return first_opened; });
  });
  TSetup& setup = run_.Create(kParams);
  watched.Files().Before(u"OpenFile", kFirst, [&] {
    std::lock_guard lock(mutex);
    finished_at_first = setup.Resources().ProductPackage().Finished();
    first_opened = true;
    changed.notify_all();
  });
  setup.Start(true);

  EXPECT_EQ(setup.Errors(), StringList{});
  EXPECT_TRUE(first_opened);
  EXPECT_FALSE(finished_at_first);
  EXPECT_EQ(files_.FileText(kFirst), "first");
  EXPECT_EQ(files_.FileText(u"C:\\Nolu\\Data\\Big\\noise.bin"), Noise(512 * 1024));
  EXPECT_EQ(files_.FileText(u"C:\\Nolu\\last.txt"), "last");
  EXPECT_EQ(RecordedPaths(), (StringList{u"0=first.txt", u"Count=5", u"1=Data\\Big\\noise.bin",
                                         u"2=last.txt", u"3=Uninstall.dat", u"4=Uninstall.exe"}));
  EXPECT_TRUE(run_.Platform().Registry().KeyExists(kUninstallEntry));
}

// A corrupt body keeps only what the run found: a first installation takes back every file
// and folder it wrote; any other run waits for the checks before its first write.
TEST_F(FirstInstallationTest, ACorruptBodyLeavesNothingOfTheRun) {
  struct Case {
    const char* what;
    std::function<void(TFakeSetupRun&)> arrange;
    const char16_t* params;
    bool writes;  // whether the run writes its first file before the checks
  } cases[] = {
      {"first installation", [](TFakeSetupRun&) {}, kParams, true},
      {"first installation below a missing parent", [](TFakeSetupRun&) {},
       u"/AUTO=\"C:\\Apps\\Nolu\" /SILENT", true},
      {"a destination that exists but cannot be reached",
       [](TFakeSetupRun& r) {
         r.Platform().Files().AddFile(u"C:\\Nolu\\mine.txt", "mine");
         r.Platform().Files().InjectFailure(FakeFileOp::kAttributes, u"C:\\Nolu",
                                            kErrorAccessDenied, -1);
       },
       kParams, false},
      {"an empty destination that exists",
       [](TFakeSetupRun& r) { r.Platform().Files().AddFolder(u"C:\\Nolu"); }, kParams, false},
      {"a file where the destination would be",
       [](TFakeSetupRun& r) { r.Platform().Files().AddFile(u"C:\\Nolu", "mine"); }, kParams, false},
      {"an update of an installed copy",
       [](TFakeSetupRun& r) {
         r.Product().Installed(u"C:\\Nolu\\", {5010});
         r.Platform().Files().AddFile(u"C:\\Nolu\\first.txt", "installed");
       },
       u"/AUTO=\"C:\\Nolu\" /SILENT /UPDATE", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TFakeSetupRun run;
    run.Product().install_actions = {&ActionClassOf<TSetupActionExtract>()};
    SetStreamedPayload(run.Data());
    c.arrange(run);
    run.Prepare(c.params);
    Bytes product = run.Data().BuildProductPackage();
    product[product.size() / 2] ^= 0x55;
    run.Platform().Resources().SetRcData(u"PRODUCT", product);
    TFakeFileSystem& files = run.Platform().Files();
    const StringList before = files.ListTree(u"C:\\");
    TWatchedPlatform watched(run.Platform());
    PlatformScope scope(watched);
    TSetup setup(c.params, &TTestProductInfo::Create);
    setup.Resources().InitializeLanguages();
    const String first = setup.DestPath() + u"first.txt";
    bool wrote_first = false;
    watched.Files().Before(u"OpenFile", first, [&] { wrote_first = true; });
    setup.Start(true);

    EXPECT_EQ(setup.Errors(), StringList{u"Package was corrupted"});
    EXPECT_EQ(wrote_first, c.writes);
    EXPECT_EQ(files.ListTree(u"C:\\"), before);
    EXPECT_FALSE(run.Platform().Registry().KeyExists(kUninstallEntry));
  }
}

}  // namespace
}  // namespace nolu
