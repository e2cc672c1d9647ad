#include "core/ini_file_io.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/error_codes.h"
#include "platform/fake/fake_platform.h"

namespace nolu {
namespace {

constexpr char16_t kFolder[] = u"C:\\Nolu\\";
constexpr char16_t kPath[] = u"C:\\Nolu\\Nolu.ini";
constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

class IniFileIoTest : public ::testing::Test {
 protected:
  TFakePlatform fake_;
  PlatformScope scope_{fake_};
};

TEST_F(IniFileIoTest, LoadIniFile_ReadsTheFileOrLeavesTheObjectEmpty) {
  TRuxIniFile ini;
  ini.WriteString(u"Old", u"Key", u"stale");

  EXPECT_FALSE(LoadIniFile(ini, kPath));  // missing
  EXPECT_TRUE(ini.IsEmpty());

  fake_.Files().AddFile(kPath, std::string(kUtf8Bom) + "[System]\r\nVersion=5010\r\n");
  EXPECT_TRUE(LoadIniFile(ini, kPath));
  EXPECT_EQ(ini.ReadInteger(u"System", u"Version", 0), 5010);
  EXPECT_EQ(ini.Encoding(), TextEncoding::kUtf8);
  EXPECT_FALSE(ini.Modified());

  fake_.Files().InjectFailure(FakeFileOp::kRead, kPath, kErrorAccessDenied);
  EXPECT_FALSE(LoadIniFile(ini, kPath));
  EXPECT_TRUE(ini.IsEmpty());

  EXPECT_FALSE(LoadIniFile(ini, u""));
  EXPECT_TRUE(ini.IsEmpty());
  EXPECT_EQ(fake_.Files().OpenStreamCount(), 0);
}

TEST_F(IniFileIoTest, SaveIniFile_WritesInTheObjectsEncodingAndReplacesReadOnlyFiles) {
  TRuxIniFile ini;
  ini.SetEncoding(TextEncoding::kUtf8);
  ini.WriteString(u"System", u"Version", u"5401");

  EXPECT_FALSE(SaveIniFile(ini, kPath));  // no folder to write into
  fake_.Files().AddFolder(kFolder);
  ASSERT_TRUE(SaveIniFile(ini, kPath));  // new file
  EXPECT_EQ(fake_.Files().FileText(kPath),
            std::string(kUtf8Bom) + "[System]\r\nVersion=5401\r\n\r\n");

  fake_.Files().SetAttributes(kPath, kAttrReadOnly);
  ini.WriteString(u"System", u"Version", u"5402");
  ASSERT_TRUE(SaveIniFile(ini, kPath));
  EXPECT_EQ(fake_.Files().FileText(kPath),
            std::string(kUtf8Bom) + "[System]\r\nVersion=5402\r\n\r\n");
  // Nothing but the file itself is left in the folder.
  EXPECT_EQ(fake_.Files().ListTree(kFolder), StringList{kPath});
}

TEST_F(IniFileIoTest, SaveIniFile_FailureLeavesTheFileAsItWas) {
  const std::string before = "[User]\r\nSkin=Dark\r\n";
  struct Case {
    const char* what;
    std::function<void(TFakeFileSystem&)> arrange;
  } cases[] = {
      {"disk full while writing", [](TFakeFileSystem& f) { f.SetWriteBudget(8); }},
      {"file in use", [](TFakeFileSystem& f) { f.SetInUse(kPath); }},
      {"no rights in the folder", [](TFakeFileSystem& f) { f.DenyAccess(kFolder); }},
      {"fresh file cannot be created",
       [](TFakeFileSystem& f) {
         f.InjectFailure(FakeFileOp::kTempFileName, u"", kErrorAccessDenied);
       }},
      {"fresh file cannot be opened",
       [](TFakeFileSystem& f) {
         f.InjectFailure(FakeFileOp::kOpenWrite, u"", kErrorAccessDenied);
       }},
      {"the fresh file cannot take the name",
       [](TFakeFileSystem& f) { f.InjectFailure(FakeFileOp::kMove, kPath, kErrorAccessDenied); }},
      // A scanner reads the file and lets others delete it: a deletion only marks it, and its
      // name stays taken until the scanner lets go.
      {"a scanner holds the file",
       [](TFakeFileSystem& f) {
         f.SetInUse(kPath, {.Readable = true, .Writable = true, .Deletable = true});
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TFakePlatform fake;
    PlatformScope scope(fake);
    TFakeFileSystem& files = fake.Files();
    files.AddFile(kPath, before, kAttrReadOnly);
    c.arrange(files);

    TRuxIniFile ini;
    ini.WriteString(u"System", u"ID", u"{713CEF87-75EE-4626-A068-80B97ECA2DC8}");
    EXPECT_FALSE(SaveIniFile(ini, kPath));

    files.ClearWriteBudget();
    files.ClearFailures();
    files.AllowAccess(kFolder);
    files.ClearInUse(kPath);
    EXPECT_EQ(files.FileText(kPath), before);
    EXPECT_EQ(files.Attributes(kPath), kAttrReadOnly);
    EXPECT_EQ(files.ListTree(kFolder), StringList{kPath});
  }
}

}  // namespace
}  // namespace nolu
