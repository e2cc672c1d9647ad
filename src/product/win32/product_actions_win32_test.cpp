// Nolu's actions on the real Windows platform (under Wine): links that the system's shell
// reads back, the registration program started with its switches, the configuration file
// replaced on a real file system.
#include <gtest/gtest.h>

#include <memory>

#include "base/ini_file.h"
#include "base/locale.h"
#include "base/path.h"
#include "core/ini_file_io.h"
#include "core/setup.h"
#include "core/testing/listed_actions_product.h"
#include "platform/error_codes.h"
#include "product/actions/setup_action_config.h"
#include "product/actions/setup_action_integrate.h"
#include "product/actions/setup_action_shortcuts.h"
#include "product/testing/test_win32_platform.h"
#include "resources/setup_resources.h"

namespace nolu {
namespace {

class ProductActionsWin32Test : public ::testing::Test {
 protected:
  ProductActionsWin32Test() : dest_(platform_.Root() + u"Program Files\\Nolu\\") {
    EXPECT_EQ(Files().ForceFolders(dest_), kErrorSuccess);
  }

  IFileSystem& Files() { return platform_.Files(); }

  void AddFile(const String& path, std::string_view content) {
    TOpenResult out = Files().OpenFile(path, FileMode::kCreate);
    ASSERT_TRUE(out.Stream) << out.Error;
    out.Stream->WriteBuffer(content.data(), content.size());
  }
  std::string FileText(const String& path) {
    TOpenResult in = Files().OpenFile(path, FileMode::kOpenRead);
    if (!in.Stream) return std::string();
    std::string text(static_cast<size_t>(in.Stream->Size()), '\0');
    in.Stream->ReadBuffer(text.data(), text.size());
    return text;
  }

  // Installs to dest_ with `actions`: automatically ("/AUTO") or interactively.
  void Install(std::vector<const TSetupActionClass*> actions, bool automatic = true) {
    TListedActionsProduct::SetActions(std::move(actions));
    TSetup setup(automatic ? u"/AUTO=\"" + dest_ + u"\"" : String(),
                 &TListedActionsProduct::Create);
    if (!automatic) setup.SetDestPath(dest_);
    setup.Resources().InitializeLanguages();
    setup.Start(true);
    EXPECT_EQ(setup.Errors(), StringList{});
  }

  TTestWin32Platform platform_;
  PlatformScope scope_{platform_};
  const String dest_;  // holds a blank, as below "Program Files"
};

TEST_F(ProductActionsWin32Test, ShortcutsResolveToTheirTargets) {
  for (const char16_t* name : {u"Nolu.exe", u"Readme.txt", u"Uninstall.exe"})
    AddFile(dest_ + name, "");
  Install({&ActionClassOf<TSetupActionShortcuts>()});

  const String& root = platform_.Root();
  const bool programs_only = platform_.System().OsVersion().AtLeast(6, 2);
  struct Link {
    String path;
    String target;
    bool expected;
  } links[] = {
      {root + u"Desktop\\Nolu.lnk", dest_ + u"Nolu.exe", true},
      {root + u"Programs\\Nolu\\Nolu.lnk", dest_ + u"Nolu.exe", true},
      {root + u"Programs\\Nolu\\Uninstall Nolu.lnk", dest_ + u"Uninstall.exe", true},
      {root + u"Programs\\Nolu\\What is new.lnk", dest_ + u"Readme.txt", !programs_only},
  };
  for (const Link& link : links) {
    SCOPED_TRACE(StringToUtf8(link.path));
    TShellLink read;
    const uint32_t error = platform_.Shell().ReadShellLink(link.path, read);
    if (!link.expected) {
      EXPECT_FALSE(Files().FileExists(link.path));
      continue;
    }
    ASSERT_EQ(error, kErrorSuccess);
    EXPECT_TRUE(EqualsIgnoreCase(read.Target, link.target)) << StringToUtf8(read.Target);
    EXPECT_EQ(read.Arguments, u"");
  }
}

TEST_F(ProductActionsWin32Test, ElevatorIsStartedWithTheSwitchesAndAwaited) {
  // The product's stand-in, built beside this test, logs its parameters beside itself.
  const String built = ExtractFilePath(platform_.System().ModuleFileName()) + u"Elevator.exe";
  ASSERT_EQ(Files().Copy(built, dest_ + u"Elevator.exe", false), kErrorSuccess);

  Install({&ActionClassOf<TSetupActionIntegrate>()});
  Install({&ActionClassOf<TSetupActionIntegrate>()}, /*automatic=*/false);

  // Both lines are there as soon as each run is over: the action waited for the program.
  const bool confirm_ui = platform_.System().OsVersion().AtLeast(6, 2);
  EXPECT_EQ(FileText(dest_ + u"Elevator.log"),
            std::string(" /REG=L1 /REG=D1 /REG=R1 /REG=M1 /REG=R2\r\n") +
                " /REG=L1 /REG=D1 /REG=R1 /REG=M1 /REG=R2" + (confirm_ui ? " /REG_UI" : "") +
                "\r\n");
}

TEST_F(ProductActionsWin32Test, ConfigurationReplacesAReadOnlyFileAndKeepsTheUsersSettings) {
  const String config = dest_ + u"Nolu.ini";
  AddFile(config, "[Player]\r\nVolume=80\r\n[System]\r\nVersion=5010\r\nLastCheck=1\r\n");
  ASSERT_EQ(Files().SetAttributes(config, kAttrReadOnly), kErrorSuccess);

  Install({&ActionClassOf<TSetupActionConfig>()});

  TRuxIniFile ini;
  ASSERT_TRUE(LoadIniFile(ini, config));
  EXPECT_EQ(ini.ReadSectionText(u"Player"), u"Volume=80");
  StringList keys;
  ini.ReadKeys(u"System", keys);
  EXPECT_EQ(keys, (StringList{u"ID", u"DefaultLang", u"UserMode", u"Version"}));
  TGuid id;
  EXPECT_TRUE(TGuid::TryParse(ini.ReadString(u"System", u"ID", u""), id));
  EXPECT_EQ(ini.ReadInteger(u"System", u"Version", 0), 5401);
  // Nothing else is left in the folder.
  std::vector<TFileEntry> entries;
  Files().ListFolder(dest_, entries);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].Name, u"Nolu.ini");
}

}  // namespace
}  // namespace nolu
