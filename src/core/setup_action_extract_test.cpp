#include "core/setup_action_extract.h"

#include <gtest/gtest.h>

#include "base/memory_stream.h"
#include "core/testing/fake_setup_run.h"
#include "package/setup_package_reader.h"
#include "platform/error_codes.h"

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

}  // namespace
}  // namespace nolu
