#include "product/product_info_nolu.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "base/locale.h"
#include "core/setup.h"
#include "core/setup_app_repo.h"
#include "platform/fake/fake_platform.h"
#include "resources/setup_resources.h"
#include "resources/testing/fake_setup_data.h"

namespace nolu {
namespace {

const String kDest = u"C:\\Apps\\Nolu\\";
const String kUninstall = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

class ProductInfoNoluTest : public ::testing::Test {
 protected:
  ProductInfoNoluTest() { data_ = TFakeSetupData::Sample(); }

  // A run with `params`, in the language whose file is `language_file` (empty: English).
  TSetup& Start(StringView params, StringView language_file = u"English.lng") {
    setup_.reset();  // one setup object at a time
    data_.Install(fake_);
    setup_ = std::make_unique<TSetup>(String(params), &CreateProductInfoNolu);
    setup_->Resources().InitializeLanguages([&](const std::vector<TLanguageItem>& items, int) {
      for (const TLanguageItem& item : items) {
        if (EqualsIgnoreCase(setup_->Resources().Languages()[item.Index], language_file)) {
          return item.Index;
        }
      }
      ADD_FAILURE() << "no language " << StringToUtf8(language_file);
      return -1;
    });
    return *setup_;
  }
  TProductInfoNolu& Info() { return static_cast<TProductInfoNolu&>(setup_->ProductInfo()); }

  void Entry(StringView key_name, RegView view, StringView install_path) {
    const TRegKey key(RegRoot::kLocalMachine, view, kUninstall + String(key_name));
    fake_.Registry().CreateKey(key);
    fake_.Registry().WriteValue(key, u"InstallPath", TRegValue::Text(install_path));
  }

  TFakePlatform fake_;
  PlatformScope scope_{fake_};
  TFakeSetupData data_;
  std::unique_ptr<TSetup> setup_;
};

TEST_F(ProductInfoNoluTest, InstalledVersion_DecidesUpdatesAndIsPortable) {
  Start(u"/AUTO=\"" + kDest + u"\"");
  struct Row {
    const char* config;  // "Nolu.ini" of the destination; nullptr: none
    int version;
    const char16_t* text;
    bool can_update;
    bool portable;
  };
  const Row rows[] = {
      {nullptr, 0, u"0.00", false, false},
      {"[System]\r\nVersion=2999\r\n", 2999, u"2.99", false, false},
      {"[System]\r\nVersion=3000\r\nUserMode=1\r\n", 3000, u"3.00", true, false},
      {"[System]\r\nVersion=4005\r\n", 4005, u"4.00", true, false},
      {"[System]\r\nVersion=5401\r\nUserMode=0\r\n", 5401, u"5.40", true, true},
      {"[System]\r\nVersion=5499\r\n", 5499, u"5.49", true, false},
      {"[System]\r\nVersion=5500\r\n", 5500, u"5.50", false, false},
      {"[System]\r\nVersion=-4000\r\n", 0, u"0.00", false, false},  // no version at all
      {"[System]\r\nVersion=five\r\n", 0, u"0.00", false, false},
      {"[Other]\r\nVersion=5401\r\n", 0, u"0.00", false, false},
      {"", 0, u"0.00", false, false},  // an empty file is a copy without version
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.config ? row.config : "no configuration");
    fake_.Files().Delete(kDest + u"Nolu.ini");
    if (row.config) fake_.Files().AddFile(kDest + u"Nolu.ini", row.config);
    Info().LoadInstalledInfo();
    EXPECT_EQ(Info().GetInstalledVersion(), row.version);
    EXPECT_EQ(StringToUtf8(Info().GetInstalledVersionText()), StringToUtf8(row.text));
    EXPECT_EQ(Info().CanUpdate(), row.can_update);
    EXPECT_EQ(Info().IsPortable(), row.portable);
  }
}

TEST_F(ProductInfoNoluTest, LoadInstalledInfo_ReadsNoluIniBeforeNolu3Ini) {
  Start(u"/AUTO=\"" + kDest + u"\"");
  fake_.Files().AddFile(kDest + u"Nolu3.ini", "[System]\r\nVersion=3900\r\n");
  Info().LoadInstalledInfo();
  EXPECT_EQ(Info().GetInstalledVersion(), 3900);

  fake_.Files().AddFile(kDest + u"Nolu.ini", "[System]\r\nVersion=5010\r\n");
  Info().LoadInstalledInfo();
  EXPECT_EQ(Info().GetInstalledVersion(), 5010);

  // Held open by a program that shares no reading: as good as missing, nothing raises.
  fake_.Files().SetInUse(kDest + u"Nolu.ini", TFakeFileLock{.Readable = false});
  EXPECT_NO_THROW(Info().LoadInstalledInfo());
  EXPECT_EQ(Info().GetInstalledVersion(), 0);
  EXPECT_TRUE(Info().InstalledConfig().IsEmpty());
}

TEST_F(ProductInfoNoluTest, LoadInstalledInfo_StartsTheOptionsWithTheInstalledIntegration) {
  TSetup& setup = Start(u"/AUTO=\"" + kDest + u"\"");
  // UTF-16 with its mark, as the product writes it.
  const std::string utf16 = "\xFF\xFE" + [] {
    std::string bytes;
    for (char c : std::string("[Integration]\r\nShortcutDesktop=0\r\nAssociateWithFiles=1\r\n"
                              "[System]\r\nVersion=5010\r\n")) {
      bytes += c;
      bytes += '\0';
    }
    return bytes;
  }();
  struct Row {
    const char* what;
    std::optional<std::string> config;
    const char16_t* integration;
  };
  const Row rows[] = {
      {"installed choices", utf16, u"ShortcutDesktop=0\r\nAssociateWithFiles=1"},
      {"no section", std::string("[System]\r\nVersion=5010\r\n"), u""},
      {"no configuration", std::nullopt, u""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    fake_.Files().Delete(kDest + u"Nolu.ini");
    if (row.config) fake_.Files().AddFile(kDest + u"Nolu.ini", *row.config);
    setup.Options().WriteString(u"Integration", u"RegisterContextMenu", u"0");
    setup.Options().WriteString(u"Common", u"AddonsViewer", u"1");

    Info().LoadInstalledInfo();

    EXPECT_EQ(StringToUtf8(setup.Options().ReadSectionText(u"Integration")),
              StringToUtf8(row.integration));
    EXPECT_EQ(setup.Options().ReadString(u"Common", u"AddonsViewer", u""), u"1");
  }
}

TEST_F(ProductInfoNoluTest, DetectInstallPath_RegistryEntriesThenTheRunningProduct) {
  struct Row {
    const char* what;
    const char16_t* nolu;          // InstallPath of the entry "Nolu" (32-bit view); nullptr: none
    const char16_t* nolu3;         // of the entry "Nolu3" (64-bit view)
    const char16_t* window_owner;  // executable of a "TNoluMainForm" window; nullptr: none
    const char16_t* expected;      // nullptr: not found
  };
  const Row rows[] = {
      {"entry Nolu", u"C:\\Nolu 5\\", u"C:\\Nolu 3\\", u"D:\\Run\\Nolu.exe", u"C:\\Nolu 5\\"},
      {"stale Nolu, entry Nolu3", u"C:\\Gone\\", u"C:\\Nolu 3\\", nullptr, u"C:\\Nolu 3\\"},
      {"the window's program", u"C:\\Gone\\", nullptr, u"D:\\Run\\Nolu.exe", u"D:\\Run\\"},
      {"a window whose program cannot be queried", nullptr, nullptr, u"", nullptr},
      {"nothing", nullptr, nullptr, nullptr, nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TFakePlatform fake;
    PlatformScope scope(fake);
    fake.Files().AddFolder(u"C:\\Nolu 5\\");
    fake.Files().AddFolder(u"C:\\Nolu 3\\");
    auto entry = [&](StringView name, RegView view, const char16_t* path) {
      if (!path) return;
      const TRegKey key(RegRoot::kLocalMachine, view, kUninstall + String(name));
      fake.Registry().CreateKey(key);
      fake.Registry().WriteValue(key, u"InstallPath", TRegValue::Text(path));
    };
    entry(u"Nolu", RegView::k32, row.nolu);
    entry(u"Nolu3", RegView::k64, row.nolu3);
    if (row.window_owner) fake.Windows().AddWindow(u"TNoluMainForm", row.window_owner);

    String path = u"unchanged";
    const bool found = TProductInfoNolu::DetectInstallPath(path);
    EXPECT_EQ(found, row.expected != nullptr);
    EXPECT_EQ(StringToUtf8(path), StringToUtf8(row.expected ? row.expected : u"unchanged"));
  }
}

TEST_F(ProductInfoNoluTest, DefaultPath_AnInstallationElseTheProgramsFolder) {
  TSetup& setup = Start(u"/AUTO");
  EXPECT_EQ(setup.DestPath(), u"C:\\Program Files (x86)\\Nolu\\");
  EXPECT_EQ(Info().GetDefaultPath(), u"C:\\Program Files (x86)\\Nolu\\");

  fake_.Files().AddDrive(u"D:");
  fake_.Files().AddFolder(u"D:\\Media\\Nolu\\");
  Entry(u"Nolu", RegView::k32, u"D:\\Media\\Nolu");
  EXPECT_EQ(Info().GetDefaultPath(), u"D:\\Media\\Nolu\\");
}

TEST_F(ProductInfoNoluTest, AddonsOffered_OnlyInInteractiveRussianRuns) {
  // The language name comes from the file name; written in lower case here.
  data_.RemoveSetupFile(u"Russian.lng");
  data_.SetSetupFile(u"russian.lng", TFakeSetupData::LanguageFile(u"Русский", 1049, u"RU", ""));
  struct Row {
    const char16_t* params;
    const char16_t* language;
    bool offered;
  };
  const Row rows[] = {
      {u"", u"russian.lng", true},
      {u"/SILENT", u"russian.lng", true},  // SILENT without AUTO is an interactive run
      {u"/AUTO", u"russian.lng", false},
      {u"/AUTO /SILENT", u"russian.lng", false},
      {u"", u"English.lng", false},
      {u"", u"German.lng", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(StringToUtf8(String(row.params) + u" " + row.language));
    Start(row.params, row.language);
    EXPECT_EQ(AddonsOffered(), row.offered);

    StringList pages;
    Info().PopulatePages([&](const TSetupPageClass& page) { pages.push_back(page.Name); });
    StringList expected = {u"TSetupPageWelcome", u"TSetupPageLicense", u"TSetupPageSetup",
                           u"TSetupPageIntegration", u"TSetupPageReadyToInstall"};
    if (row.offered) expected.insert(expected.begin() + 3, u"TSetupPageAddons");
    EXPECT_EQ(pages, expected);
  }
}

TEST_F(ProductInfoNoluTest, PopulateActions_ByModeFlagsLanguageAndSystem) {
  data_.RemoveSetupFile(u"Russian.lng");
  data_.SetSetupFile(u"Russian.lng", TFakeSetupData::LanguageFile(u"Русский", 1049, u"RU", ""));
  const String automatic = u"/AUTO=\"" + kDest + u"\"";
  // The action classes, without their common prefix "TSetupAction".
  const char16_t* const normal =
      u"CloseApplications Prepare Extract Config Integrate Shortcuts UpdateShellCache";
  const TOsVersion win10{10, 0}, win81{6, 3};
  struct Row {
    const char* what;
    String params;
    const char16_t* language;
    TOsVersion os;
    bool uninstaller;
    const char16_t* actions;
  };
  const Row rows[] = {
      {"first installation on Windows 10", automatic, u"English.lng", win10, false, normal},
      {"Windows 8.1: no shell-cache refresh", automatic, u"English.lng", win81, false,
       u"CloseApplications Prepare Extract Config Integrate Shortcuts"},
      {"portable: shortcuts but no integration", automatic + u" /PORTABLE", u"English.lng", win10,
       false, u"CloseApplications Prepare Extract Config Shortcuts UpdateShellCache"},
      {"update: neither integration nor shortcuts", automatic + u" /UPDATE", u"English.lng", win10,
       false, u"CloseApplications Prepare Extract Config UpdateShellCache"},
      {"interactive in Russian: the add-ons first", u"", u"Russian.lng", win10, false,
       u"CloseApplications Prepare AddonsInstall Extract Config Integrate Shortcuts "
       u"UpdateShellCache"},
      {"automatic in Russian: no add-ons", automatic + u" /SILENT", u"Russian.lng", win10, false,
       normal},
      {"removal", u"/AUTO", u"English.lng", win10, true,
       u"CloseApplications UninstallIntegration UninstallFiles"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    fake_.System().SetOsVersion(row.os.Major, row.os.Minor);
    fake_.Files().Delete(kDest + u"Nolu.ini");
    if (row.params.find(u"/UPDATE") != String::npos) {
      fake_.Files().AddFile(kDest + u"Nolu.ini", "[System]\r\nVersion=5010\r\n");
    }
    const TFakeSetupData installer = data_;
    if (row.uninstaller) data_.SetProductFile(u"Uninstall.ini", "[Uninstall]\r\nCount=0\r\n");
    TSetup& setup = Start(row.params, row.language);
    data_ = installer;
    ASSERT_EQ(setup.Mode(), row.uninstaller ? smUninstall : smInstall);
    StringList actions;
    Info().PopulateActions([&](const TSetupActionClass& cls) {
      ASSERT_TRUE(StartsWith(cls.Name, u"TSetupAction"));
      actions.push_back(String(cls.Name).substr(12));
    });
    EXPECT_EQ(StringToUtf8(JoinStrings(actions, u" ")), StringToUtf8(row.actions));
  }
}

TEST_F(ProductInfoNoluTest, UninstallMode_HasTheRemovalOptionsPageOnly) {
  data_.SetProductFile(u"Uninstall.ini", "[Uninstall]\r\nCount=0\r\n");
  TSetup& setup = Start(u"/AUTO /SILENT");
  ASSERT_EQ(setup.Mode(), smUninstall);
  StringList pages;
  Info().PopulatePages([&](const TSetupPageClass& page) { pages.push_back(page.Name); });
  EXPECT_EQ(pages, StringList{u"TSetupPageUninstallParams"});
}

}  // namespace
}  // namespace nolu
