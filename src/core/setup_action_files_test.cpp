#include <gtest/gtest.h>

#include "base/memory_stream.h"
#include "core/setup_action_extract.h"
#include "core/testing/fake_setup_run.h"
#include "package/setup_package_reader.h"
#include "platform/error_codes.h"

namespace nolu {
namespace {

const TRegKey kUninstallEntry(RegRoot::kLocalMachine, RegView::k32,
                              u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Nolu");

class WriteUninstallDataTest : public ::testing::Test {
 protected:
  WriteUninstallDataTest() : files_(run_.Platform().Files()) {}

  // WriteUninstallData of an action, as the extraction calls it at its end.
  void Write(const std::vector<TSetupScriptFile>& entries) {
    TSetupActionExtract action;
    action.WriteUninstallData(u"C:\\Nolu\\", entries);
  }

  // The text of "Uninstall.ini" inside "Uninstall.dat", its mark checked.
  String RecordText() {
    const std::optional<Bytes> bytes = files_.FileBytes(u"C:\\Nolu\\Uninstall.dat");
    if (!bytes) return u"<no Uninstall.dat>";
    TMemoryStream file(*bytes);
    TSetupPackageReader reader(file);
    EXPECT_EQ(reader.FileTable().Count(), 1);
    std::unique_ptr<TMemoryStream> entry;
    if (!reader.Extract(u"Uninstall.ini", entry)) return u"<no Uninstall.ini>";
    const Bytes& raw = entry->Bytes();
    if (raw.size() < 2 || raw[0] != 0xFF || raw[1] != 0xFE) return u"<no UTF-16LE mark>";
    String text;
    for (size_t i = 2; i + 1 < raw.size(); i += 2)
      text += static_cast<char16_t>(raw[i] | raw[i + 1] << 8);
    return text;
  }

  TFakeSetupRun run_;
  TFakeFileSystem& files_;
};

TEST_F(WriteUninstallDataTest, LeavesTheUninstallerItsRecordAndTheSystemEntry) {
  TSetup& setup = run_.Create(u"/AUTO=\"C:\\Nolu\" /SILENT");
  setup.Options().WriteString(u"Integration", u"Associations", u"mp3,flac");
  setup.Options().WriteString(u"Uninstall", u"0", u"stale.dll");
  files_.AddFile(u"C:\\Nolu\\Uninstall.exe", "an older uninstaller");
  Write({{u"$DEST\\A\\x.dll", u"", u""}, {u"$DEST\\y.exe", u"", u""}});

  EXPECT_EQ(files_.FileText(u"C:\\Nolu\\Uninstall.exe"), "MZ setup");  // the running program
  EXPECT_EQ(RecordText(),
            u"[Integration]\r\nAssociations=mp3,flac\r\n\r\n"
            u"[Uninstall]\r\n0=A\\x.dll\r\nCount=4\r\n1=y.exe\r\n2=Uninstall.dat\r\n"
            u"3=Uninstall.exe\r\n\r\n");
  IRegistry& registry = run_.Platform().Registry();
  ASSERT_TRUE(registry.KeyExists(kUninstallEntry));
  EXPECT_EQ(registry.ReadString(kUninstallEntry, u"UninstallString"), u"C:\\Nolu\\Uninstall.exe");
  EXPECT_EQ(registry.ReadString(kUninstallEntry, u"InstallPath"), u"C:\\Nolu\\");
  EXPECT_EQ(registry.ReadString(kUninstallEntry, u"DisplayVersion"), u"5.40.1");
  EXPECT_EQ(files_.OpenStreamCount(), 0);
}

TEST_F(WriteUninstallDataTest, TheEntrysSizeIsTheSumOfTheInstalledFilesInKiB) {
  run_.Create(u"/AUTO=\"C:\\Nolu\" /SILENT");
  files_.AddFile(u"C:\\Nolu\\A\\x.dll", std::string(3000, 'x'));
  files_.AddFile(u"C:\\Nolu\\y.exe", std::string(2000, 'y'));
  files_.AddFile(u"C:\\Nolu\\Notes.txt", std::string(50000, 'n'));  // the user's, not ours
  // The user chose to skip z.dll when it was in use: not there, so it takes nothing.
  Write({{u"$DEST\\A\\x.dll", u"", u""}, {u"$DEST\\y.exe", u"", u""}, {u"$DEST\\z.dll", u"", u""}});

  const uint64_t bytes = 3000 + 2000 + files_.FileBytes(u"C:\\Nolu\\Uninstall.exe")->size() +
                         files_.FileBytes(u"C:\\Nolu\\Uninstall.dat")->size();
  TRegValue size;
  ASSERT_EQ(run_.Platform().Registry().ReadValue(kUninstallEntry, u"EstimatedSize", size), 0u);
  EXPECT_EQ(size.Type, kRegDword);
  EXPECT_EQ(size.AsDword(), (bytes + 1023) / 1024);
  EXPECT_EQ(files_.OpenStreamCount(), 0);
}

TEST_F(WriteUninstallDataTest, PortableCopiesGetNoSystemEntry) {
  run_.Create(u"/AUTO=\"C:\\Nolu\" /PORTABLE /SILENT");
  // Nothing was extracted yet: the destination is created for the uninstaller.
  Write({{u"$DEST\\Nolu.exe", u"", u""}});
  EXPECT_TRUE(files_.FileExists(u"C:\\Nolu\\Uninstall.exe"));
  EXPECT_EQ(RecordText(),
            u"[Uninstall]\r\n0=Nolu.exe\r\nCount=3\r\n1=Uninstall.dat\r\n2=Uninstall.exe\r\n\r\n");
  EXPECT_FALSE(run_.Platform().Registry().KeyExists(kUninstallEntry));
  EXPECT_FALSE(run_.Platform().Registry().KeyExists(
      TRegKey(RegRoot::kLocalMachine, RegView::k64, kUninstallEntry.Path)));
}

TEST_F(WriteUninstallDataTest, FailuresEndTheRunBeforeTheSystemEntry) {
  struct Case {
    const char* name;
    FakeFileOp op;
    const char16_t* path;
    const char16_t* message_end;  // how the error message ends
  } cases[] = {
      {"copying the uninstaller", FakeFileOp::kCopy, u"C:\\Nolu\\Uninstall.exe",
       u"C:\\Users\\User\\Downloads\\Setup.exe -> C:\\Nolu\\Uninstall.exe"},
      {"writing the record", FakeFileOp::kOpenWrite, u"C:\\Nolu\\Uninstall.dat",
       u"Access is denied."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    run_.Create(u"/AUTO=\"C:\\Nolu\" /SILENT");
    files_.AddFolder(u"C:\\Nolu");
    files_.InjectFailure(c.op, c.path, kErrorAccessDenied);
    try {
      Write({{u"$DEST\\Nolu.exe", u"", u""}});
      ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
      EXPECT_TRUE(EndsWith(e.Message(), c.message_end)) << StringToUtf8(e.Message());
    }
    EXPECT_FALSE(files_.FileExists(u"C:\\Nolu\\Uninstall.dat"));
    EXPECT_FALSE(run_.Platform().Registry().KeyExists(kUninstallEntry));
    files_.ClearFailures();
    run_.Destroy();
  }
}

}  // namespace
}  // namespace nolu
