#include "core/setup_uninstall_record.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "base/memory_stream.h"
#include "package/setup_package_builder.h"
#include "package/setup_package_reader.h"
#include "package/setup_package_scrambler.h"
#include "platform/fake/fake_platform.h"
#include "resources/setup_resources.h"
#include "resources/testing/fake_setup_data.h"

namespace nolu {
namespace {

constexpr StringView kDest = u"C:\\Program Files (x86)\\Nolu\\";

class RunContext : public ISetupRunContext {
 public:
  String DestPath() override { return String(kDest); }
  String HomePage() override { return u"https://nolu.example/"; }
  String ProductName() override { return u"Nolu"; }
  String VersionInfo() override { return u"5.40, 2026-11-20"; }
};

class SetupUninstallRecordTest : public ::testing::Test {
 protected:
  SetupUninstallRecordTest() : scope_(platform_) {
    platform_.System().SetModuleFileName(u"C:\\Downloads\\Setup.exe");
    TFakeSetupData::Sample().Install(platform_);
    resources_ = std::make_unique<TSetupResources>(run_);
  }

  static std::u16string Text(const TRuxIniFile& ini) {
    TMemoryStream stream;
    ini.SaveToStream(stream, TextEncoding::kUtf16LE);
    const Bytes& bytes = stream.Bytes();
    EXPECT_GE(bytes.size(), 2u);
    std::u16string text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
      text += static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8);
    return text;
  }

  TFakePlatform platform_;
  PlatformScope scope_;
  RunContext run_;
  std::unique_ptr<TSetupResources> resources_;
};

TEST_F(SetupUninstallRecordTest, RecordsPathsRelativeToTheDestinationInOrder) {
  TSetupUninstallRecord record(*resources_, kDest);
  record.AddUninstallEntry(u"$DEST\\A\\x.dll");
  record.AddUninstallEntry(u"$DEST\\y.exe");
  record.AddUninstallEntry(String(kDest) + u"Uninstall.dat");
  record.AddUninstallEntry(String(kDest) + u"Uninstall.exe");
  EXPECT_EQ(Text(record.Record()),
            u"[Uninstall]\r\n0=A\\x.dll\r\nCount=4\r\n1=y.exe\r\n2=Uninstall.dat\r\n"
            u"3=Uninstall.exe\r\n\r\n");
}

TEST_F(SetupUninstallRecordTest, PathsOutsideTheDestinationKeepTheirFullPath) {
  struct Case {
    const char16_t* path;
    const char16_t* recorded;
  } cases[] = {
      {u"$DESKTOP\\$NAME.lnk", u"C:\\Users\\Public\\Desktop\\Nolu.lnk"},
      {u"C:\\Windows\\Fonts\\nolu.ttf", u"C:\\Windows\\Fonts\\nolu.ttf"},
      // The destination is cut without regard to case, and only as a whole folder.
      {u"c:\\program files (x86)\\NOLU\\Skins\\dark.skin", u"Skins\\dark.skin"},
      {u"C:\\Program Files (x86)\\Nolu2\\x.dll", u"C:\\Program Files (x86)\\Nolu2\\x.dll"},
      // The path is cleaned before it is compared.
      {u"$DEST\\\\Plugins\\\\a.dll", u"Plugins\\a.dll"},
  };
  for (const Case& c : cases) {
    TSetupUninstallRecord record(*resources_, kDest);
    record.AddUninstallEntry(c.path);
    EXPECT_EQ(record.Record().ReadString(u"Uninstall", u"0", u"-"), c.recorded)
        << StringToUtf8(c.path);
    EXPECT_EQ(record.Record().ReadInteger(u"Uninstall", u"Count", 0), 1);
  }
}

TEST_F(SetupUninstallRecordTest, CopiesTheOptionsAndRebuildsTheUninstallSection) {
  TRuxIniFile options;
  options.WriteString(u"Actions", u"$DEST\\Nolu.exe", u"1");
  options.WriteSectionText(u"Empty", u"");
  options.WriteString(u"uninstall", u"0", u"stale.dll");  // from an earlier record
  options.WriteInteger(u"uninstall", u"Count", 1);
  options.WriteString(u"Integration", u"Associations", u"mp3,flac");

  TSetupUninstallRecord record(*resources_, kDest);
  record.CopyOptions(options);
  record.AddUninstallEntry(u"$DEST\\Nolu.exe");
  EXPECT_EQ(Text(record.Record()),
            u"[Actions]\r\n$DEST\\Nolu.exe=1\r\n\r\n"
            u"[Integration]\r\nAssociations=mp3,flac\r\n\r\n"
            u"[Uninstall]\r\n0=Nolu.exe\r\nCount=1\r\n\r\n");
  // The options store itself is left as it was.
  EXPECT_EQ(options.ReadString(u"Uninstall", u"0", u""), u"stale.dll");
}

TEST_F(SetupUninstallRecordTest, PackageHoldsOneUtf16RecordAndReadsBack) {
  const String dat = String(kDest) + u"Uninstall.dat";
  platform_.Files().AddFile(dat, "an earlier, longer package that must be replaced whole");
  TSetupUninstallRecord record(*resources_, kDest);
  record.AddUninstallEntry(u"$DEST\\Nolu.exe");
  record.BuildUninstallPackage(dat);
  EXPECT_EQ(platform_.Files().OpenStreamCount(), 0);

  const std::optional<Bytes> bytes = platform_.Files().FileBytes(dat);
  ASSERT_TRUE(bytes);
  TMemoryStream file(*bytes);
  TSetupPackageReader reader(file);
  ASSERT_EQ(reader.FileTable().Count(), 1);
  EXPECT_EQ(reader.FileTable().Items(0).Name, u"Uninstall.ini");
  std::unique_ptr<TMemoryStream> entry;
  ASSERT_TRUE(reader.Extract(u"Uninstall.ini", entry));
  ASSERT_GE(entry->Bytes().size(), 2u);
  EXPECT_EQ(entry->Bytes()[0], 0xFF);
  EXPECT_EQ(entry->Bytes()[1], 0xFE);
  TRuxIniFile read_back;
  read_back.LoadFromStream(*entry);
  EXPECT_EQ(Text(read_back), Text(record.Record()));

  // Level 4 and the setup's own key: the same bytes a builder commits so.
  TSetupPackageBuilder builder(TSetupPackageScrambler::kDefaultKey);
  entry->SetPosition(0);
  builder.Add(*entry, u"Uninstall.ini");
  TMemoryStream expected;
  builder.Commit(expected, 4);
  EXPECT_EQ(*bytes, expected.Bytes());
}

TEST_F(SetupUninstallRecordTest, PackageWriteFailuresAreRaised) {
  const String dat = String(kDest) + u"Uninstall.dat";
  TSetupUninstallRecord record(*resources_, kDest);
  record.AddUninstallEntry(u"$DEST\\Nolu.exe");

  platform_.Files().AddFolder(kDest);
  platform_.Files().SetWriteBudget(10);  // the disk fills after the header
  try {
    record.BuildUninstallPackage(dat);
    FAIL() << "a full disk went unnoticed";
  } catch (const EOSError& e) {
    EXPECT_EQ(e.ErrorCode(), 112u);
  }
  platform_.Files().ClearWriteBudget();

  platform_.Files().DenyAccess(kDest);
  EXPECT_THROW(record.BuildUninstallPackage(dat), EFOpenError);
  EXPECT_EQ(platform_.Files().OpenStreamCount(), 0);
}

}  // namespace
}  // namespace nolu
