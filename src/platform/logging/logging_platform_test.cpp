#include "platform/logging/logging_platform.h"

#include <gtest/gtest.h>

#include "platform/error_codes.h"
#include "platform/fake/fake_platform.h"

namespace nolu {
namespace {

// In the root, which exists before the log is opened.
constexpr char16_t kLog[] = u"C:\\setup.log";

class LoggingPlatformTest : public ::testing::Test {
 protected:
  LoggingPlatformTest() {
    fake_.Files().AddFile(u"C:\\Nolu\\Nolu.exe", "MZ");
    fake_.Files().AddFile(u"C:\\Nolu\\Readme.txt", "read me");
  }

  // The log's lines without their stamps.
  std::vector<std::string> Lines() {
    std::vector<std::string> lines;
    std::string text = fake_.Files().FileText(kLog).substr(3);
    for (size_t start = 0; start < text.size();) {
      const size_t end = text.find("\r\n", start);
      const std::string line = text.substr(start, end - start);
      lines.push_back(line.substr(line.find("] ") + 2));
      start = end + 2;
    }
    return lines;
  }

  TFakePlatform fake_;
  TTextLog log_{fake_.Files(), fake_.System(), kLog, false};
  TLoggingPlatform logging_{fake_, log_};
};

TEST_F(LoggingPlatformTest, FileChangesAreRecordedAndQueriesAreNot) {
  IFileSystem& files = logging_.Files();
  files.Attributes(u"C:\\Nolu\\Nolu.exe");
  std::vector<TFileEntry> entries;
  files.ListFolder(u"C:\\Nolu", entries);
  files.OpenFile(u"C:\\Nolu\\Nolu.exe", FileMode::kOpenRead);
  files.SetAttributes(u"C:\\Nolu\\Readme.txt", 0);
  EXPECT_EQ(files.CreateFolder(u"C:\\Nolu\\Skins"), kErrorSuccess);
  files.OpenFile(u"C:\\Nolu\\Skins\\skin.xml", FileMode::kCreate);
  EXPECT_EQ(files.Copy(u"C:\\Nolu\\Nolu.exe", u"C:\\Nolu\\Nolu.bak", false), kErrorSuccess);
  EXPECT_EQ(files.Move(u"C:\\Nolu\\Nolu.bak", u"C:\\Nolu\\Old.exe"), kErrorSuccess);
  EXPECT_EQ(files.Delete(u"C:\\Nolu\\Old.exe"), kErrorSuccess);
  EXPECT_EQ(files.MoveOnReboot(u"C:\\Nolu\\Readme.txt", u""), kErrorSuccess);
  // Failures come back unchanged and are recorded with their code and its text.
  EXPECT_EQ(files.Delete(u"C:\\Nolu\\Gone.exe"), kErrorFileNotFound);
  EXPECT_EQ(files.RemoveFolder(u"C:\\Nolu"), kErrorDirNotEmpty);

  EXPECT_EQ(Lines(), (std::vector<std::string>{
                         "Create folder C:\\Nolu\\Skins",
                         "Write C:\\Nolu\\Skins\\skin.xml",
                         "Copy C:\\Nolu\\Nolu.exe -> C:\\Nolu\\Nolu.bak",
                         "Move C:\\Nolu\\Nolu.bak -> C:\\Nolu\\Old.exe",
                         "Delete C:\\Nolu\\Old.exe",
                         "Delete at the next restart C:\\Nolu\\Readme.txt",
                         "Delete C:\\Nolu\\Gone.exe: failed, error 2 (" +
                             StringToUtf8(fake_.System().SysErrorMessage(2)) + ")",
                         "Remove folder C:\\Nolu: failed, error 145 (" +
                             StringToUtf8(fake_.System().SysErrorMessage(145)) + ")",
                     }));
  EXPECT_FALSE(fake_.Files().FileExists(u"C:\\Nolu\\Old.exe"));
}

TEST_F(LoggingPlatformTest, RegistryChangesAreRecordedWithTheirValues) {
  IRegistry& registry = logging_.Registry();
  const TRegKey key(RegRoot::kLocalMachine, RegView::k32, u"Software\\Nolu");
  ASSERT_EQ(registry.CreateKey(key), kErrorSuccess);
  registry.WriteValue(key, u"InstallLocation", TRegValue::Text(u"C:\\Nolu\\"));
  registry.WriteValue(key, u"EstimatedSize", TRegValue::Dword(2048));
  registry.ReadString(key, u"InstallLocation");
  registry.DeleteValue(key, u"EstimatedSize");
  registry.DeleteTree(key);
  EXPECT_EQ(Lines(), (std::vector<std::string>{
                         "Registry: create key HKLM\\Software\\Nolu (32-bit view)",
                         "Registry: write HKLM\\Software\\Nolu (32-bit view) \"InstallLocation\" "
                         "= \"C:\\Nolu\\\" (REG_SZ)",
                         "Registry: write HKLM\\Software\\Nolu (32-bit view) \"EstimatedSize\" = "
                         "2048 (REG_DWORD)",
                         "Registry: delete HKLM\\Software\\Nolu (32-bit view) \"EstimatedSize\"",
                         "Registry: delete key HKLM\\Software\\Nolu (32-bit view)",
                     }));
  EXPECT_FALSE(fake_.Registry().KeyExists(key));
}

TEST_F(LoggingPlatformTest, ProgramsAreRecordedWithTheirExitCodes) {
  fake_.Processes().SetProgram(u"C:\\Nolu\\Elevator.exe", [](const TFakeLaunch&) { return 7u; });
  {
    TStartResult started =
        logging_.Processes().StartProcess(u"\"C:\\Nolu\\Elevator.exe\" /REG=U", kSwShow, u"");
    ASSERT_TRUE(started.Process);
    // The channel of the logging platform waits for the processes it hands out.
    EXPECT_TRUE(logging_.Messages().WaitDispatching(*started.Process));
    uint32_t code = 0;
    EXPECT_TRUE(started.Process->ExitCode(code));
    EXPECT_EQ(code, 7u);
  }
  EXPECT_FALSE(logging_.Processes().StartProcess(u"C:\\Missing.exe", kSwShow, u"").Process);
  logging_.Processes().CallLibraryExport(u"C:\\Nolu\\Nolu.exe", "DllUnregisterServer");
  logging_.Shell().ShellOpen(u"", u"C:\\Nolu\\Readme.txt", u"", u"", kSwShow);
  logging_.Shell().ChangeNotify(kShcneAssocChanged, kShcnfFlush);
  EXPECT_EQ(Lines(), (std::vector<std::string>{
                         "Start \"C:\\Nolu\\Elevator.exe\" /REG=U",
                         "Ended with exit code 7: \"C:\\Nolu\\Elevator.exe\" /REG=U",
                         "Start C:\\Missing.exe: failed, error 2 (" +
                             StringToUtf8(fake_.System().SysErrorMessage(2)) + ")",
                         "Call DllUnregisterServer of C:\\Nolu\\Nolu.exe",
                         "Open \"C:\\Nolu\\Readme.txt\" ",
                         "Shell told: file associations changed",
                     }));
}

TEST_F(LoggingPlatformTest, AProgramNobodyWaitsForIsRecordedWhenItsHandleCloses) {
  fake_.Processes().SetProgram(u"C:\\Nolu\\Nolu.exe", [](const TFakeLaunch&) { return 3u; });
  {
    TStartResult started = logging_.Processes().StartProcess(u"C:\\Nolu\\Nolu.exe", kSwShow, u"");
    ASSERT_TRUE(started.Process);
    fake_.Processes().WaitForPrograms();
  }
  EXPECT_EQ(Lines(), (std::vector<std::string>{"Start C:\\Nolu\\Nolu.exe",
                                               "Ended with exit code 3: C:\\Nolu\\Nolu.exe"}));
}

}  // namespace
}  // namespace nolu
