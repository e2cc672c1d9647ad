#include "product/actions/setup_action_config.h"

#include <gtest/gtest.h>

#include <functional>

#include "base/ini_file.h"
#include "base/text_encoding.h"
#include "core/ini_file_io.h"
#include "core/setup.h"
#include "core/testing/fake_setup_run.h"
#include "product/testing/product_test_data.h"

namespace nolu {
namespace {

constexpr char16_t kDest[] = u"C:\\Nolu\\";
constexpr char16_t kConfig[] = u"C:\\Nolu\\Nolu.ini";
const TGuid kGuid{0x713CEF87, 0x75EE, 0x4626, {0xA0, 0x68, 0x80, 0xB9, 0x7E, 0xCA, 0x2D, 0xC8}};

class SetupActionConfigTest : public ::testing::Test {
 protected:
  SetupActionConfigTest() {
    run_.Data() = ProductTestData();
    run_.Product().install_actions = {&ActionClassOf<TSetupActionConfig>()};
    run_.Platform().System().QueueGuid(kGuid);
    Files().AddFolder(kDest);  // extraction made it
  }

  TFakeFileSystem& Files() { return run_.Platform().Files(); }

  // Runs the action alone in an automatic installation to kDest with "Integration" options
  // `integration` (lines, may be empty).
  TSetup& Run(StringView params = u"", StringView integration = u"") {
    TSetup& setup = run_.Create(u"/AUTO=\"" + String(kDest) + u"\" " + String(params));
    setup.Options().WriteSectionText(u"Integration", integration);
    setup.AddListener(&listener_);
    setup.Start(true);
    EXPECT_EQ(setup.Errors(), StringList{});
    return setup;
  }

  const TRuxIniFile& Written() {
    LoadIniFile(written_, kConfig);
    return written_;
  }

  TFakeSetupRun run_;
  TRecordingListener listener_;
  TRuxIniFile written_;
};

TEST_F(SetupActionConfigTest, FirstInstallation_WritesSystemAndIntegration) {
  Run(u"", u"ShortcutDesktop=0\r\nAssociateWithFiles=1");
  const TRuxIniFile& ini = Written();
  EXPECT_EQ(ini.ReadSectionText(u"System"),
            u"ID={713CEF87-75EE-4626-A068-80B97ECA2DC8}\r\nDefaultLang=English.lng\r\n"
            u"UserMode=1\r\nVersion=5401");
  EXPECT_EQ(ini.ReadSectionText(u"Integration"), u"ShortcutDesktop=0\r\nAssociateWithFiles=1");
  EXPECT_EQ(ini.SectionCount(), 2u);

  bool status = false;
  for (const TRecordedNotification& n : listener_.Received) {
    if (n.Code == ncStatusText) status = status || n.Text == u"Writing the configuration...";
  }
  EXPECT_TRUE(status);
}

TEST_F(SetupActionConfigTest, ExistingFile_KeepsTheUsersSectionsAndOnlyFourSystemKeys) {
  const std::string before =
      "\xEF\xBB\xBF[Player]\r\nVolume=80\r\nSkin=Modern Dark\r\n"
      "[System]\r\nVersion=5010\r\nID={00000000-0000-0000-0000-000000000001}\r\n"
      "LastCheck=2023-01-01\r\nUserMode=0\r\n"
      "[Integration]\r\nShortcutDesktop=1\r\n"
      "[Playlists]\r\nLast=C:\\Music\\list.m3u\r\n";
  Files().AddFile(kConfig, before);
  Run(u"", u"ShortcutDesktop=0");

  const TRuxIniFile& ini = Written();
  EXPECT_EQ(ini.Encoding(), TextEncoding::kUtf8);  // the file keeps its encoding
  EXPECT_EQ(ini.ReadSectionText(u"Player"), u"Volume=80\r\nSkin=Modern Dark");
  EXPECT_EQ(ini.ReadSectionText(u"Playlists"), u"Last=C:\\Music\\list.m3u");
  EXPECT_EQ(ini.ReadSectionText(u"Integration"), u"ShortcutDesktop=0");
  StringList keys;
  ini.ReadKeys(u"System", keys);
  EXPECT_EQ(keys, (StringList{u"ID", u"DefaultLang", u"UserMode", u"Version"}));
  EXPECT_EQ(ini.ReadString(u"System", u"ID", u""), kGuid.ToString());
  EXPECT_TRUE(ini.ReadBool(u"System", u"UserMode", false));
  EXPECT_EQ(ini.ReadInteger(u"System", u"Version", 0), 5401);
}

TEST_F(SetupActionConfigTest, ExistingFile_KeepsItsEncodingAndTheUsersSectionsByteForByte) {
  const String player = u"[Player]\r\nVolume=80\r\nArtist=Mötley\r\n\r\n";
  for (TextEncoding encoding : {TextEncoding::kUtf16LE, TextEncoding::kUtf8, TextEncoding::kAnsi}) {
    SCOPED_TRACE(static_cast<int>(encoding));
    Files().AddFile(kConfig, EncodeText(u"[System]\r\nVersion=5010\r\n\r\n" + player, encoding));
    Run();
    EXPECT_EQ(Written().Encoding(), encoding);
    std::string section = EncodeText(player, encoding);
    section.erase(0, EncodeText(u"", encoding).size());  // its mark
    EXPECT_NE(Files().FileText(kConfig).find(section), std::string::npos);
  }
}

TEST_F(SetupActionConfigTest, PortableMode_WritesUserModeFalse) {
  Run(u"/PORTABLE");
  EXPECT_EQ(Written().ReadString(u"System", u"UserMode", u""), u"0");
}

TEST_F(SetupActionConfigTest, EveryRunWritesANewIdInRegistryForm) {
  Run();  // the queued GUID
  Run();  // one of the platform's own
  const String id = Written().ReadString(u"System", u"ID", u"");
  EXPECT_NE(id, kGuid.ToString());
  ASSERT_EQ(id.size(), 38u);
  for (size_t i = 0; i < id.size(); ++i) {
    const Char c = id[i];
    if (i == 0) {
      EXPECT_EQ(c, u'{');
    } else if (i == 37) {
      EXPECT_EQ(c, u'}');
    } else if (i == 9 || i == 14 || i == 19 || i == 24) {
      EXPECT_EQ(c, u'-');
    } else {
      EXPECT_TRUE((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F')) << StringToUtf8(id);
    }
  }
}

TEST_F(SetupActionConfigTest, TheChosenLanguageIsTheDefaultLanguage) {
  run_.Platform().System().SetUserDefaultUILanguage(1049);  // preselects Russian
  Run();
  EXPECT_EQ(Written().ReadString(u"System", u"DefaultLang", u""), u"Russian.lng");
}

TEST_F(SetupActionConfigTest, AFileThatCannotBeReadOrWrittenStaysAsItWasAndTheRunGoesOn) {
  const std::string before = "[Player]\r\nVolume=80\r\n";
  struct Case {
    const char* what;
    std::function<void(TFakeFileSystem&)> arrange;
  } cases[] = {
      {"in use", [](TFakeFileSystem& f) { f.SetInUse(kConfig); }},
      // Written over, the file would lose the user's settings that could not be read.
      {"unreadable",
       [](TFakeFileSystem& f) { f.InjectFailure(FakeFileOp::kRead, kConfig, 23, -1); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Files().AddFile(kConfig, before);
    c.arrange(Files());
    Run();
    Files().ClearInUse(kConfig);
    Files().ClearFailures();
    EXPECT_EQ(Files().FileText(kConfig), before);
  }
}

}  // namespace
}  // namespace nolu
