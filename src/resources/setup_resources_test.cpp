#include "resources/setup_resources.h"

#include <gtest/gtest.h>

#include <functional>
#include <span>
#include <string>
#include <thread>

#include "base/errors.h"
#include "platform/fake/fake_platform.h"
#include "resources/installer_errors.h"
#include "resources/testing/fake_setup_data.h"

namespace nolu {
namespace {

class TestRunContext : public ISetupRunContext {
 public:
  String DestPath() override { return dest_path; }
  String HomePage() override { return u"https://nolu.example/"; }
  String ProductName() override {
    if (product_name.empty()) throw EInstallerGeneralError(u"Setup has wrong config");
    return product_name;
  }
  String VersionInfo() override { return u"5.40, 2026-11-20"; }

  String dest_path = u"C:\\Program Files (x86)\\Nolu\\";
  String product_name = u"Nolu";
};

class SetupResourcesTest : public ::testing::Test {
 protected:
  SetupResourcesTest() : scope_(platform_), data_(TFakeSetupData::Sample()) {
    platform_.System().SetModuleFileName(u"C:\\Downloads\\Setup.exe");
  }

  std::unique_ptr<TSetupResources> Open() {
    data_.Install(platform_);
    return std::make_unique<TSetupResources>(run_);
  }

  std::string Text(const TMemoryStream& s) {
    return std::string(reinterpret_cast<const char*>(s.Data()), s.Bytes().size());
  }

  TFakePlatform platform_;
  PlatformScope scope_;
  TFakeSetupData data_;
  TestRunContext run_;
};

TEST_F(SetupResourcesTest, ListsLanguageEntriesInNaturalOrderIgnoringExtensionCase) {
  data_.SetSetupFile(u"Lang10.lng", "");
  data_.SetSetupFile(u"Lang9.LNG", "");
  data_.SetSetupFile(u"notes.txt", "");
  data_.SetSetupFile(u"lng", "");  // no extension at all
  auto resources = Open();
  EXPECT_EQ(resources->Languages(), (StringList{u"English.lng", u"German.lng", u"Lang9.LNG",
                                                u"Lang10.lng", u"Russian.lng"}));
}

TEST_F(SetupResourcesTest, PreselectsTheUserLanguageElseEnglishElseTheFirst) {
  struct Case {
    uint16_t ui_language;
    const char16_t* expected;
  } cases[] = {
      {1031, u"Deutsch"},
      {1049, u"Русский"},
      {1040, u"English"},  // Italian: no such file, English (1033) is preselected
      {1033, u"English"},
  };
  auto resources = Open();
  const std::vector<TLanguageItem> items = resources->LanguageItems();
  ASSERT_EQ(items.size(), 3u);
  // Display order is by the language's own name.
  EXPECT_EQ(items[0].Name, u"Deutsch");
  EXPECT_EQ(items[1].Name, u"English");
  EXPECT_EQ(items[2].Name, u"Русский");
  for (const Case& c : cases) {
    const int at = TSetupResources::PreselectedItem(items, c.ui_language);
    ASSERT_GE(at, 0);
    EXPECT_EQ(items[at].Name, c.expected) << c.ui_language;
  }
  std::vector<TLanguageItem> no_english = {items[0], items[2]};
  EXPECT_EQ(TSetupResources::PreselectedItem(no_english, 1040), 0);
  EXPECT_EQ(TSetupResources::PreselectedItem({}, 1033), -1);
}

TEST_F(SetupResourcesTest, ChosenLanguageIsMergedOverEnglish) {
  platform_.System().SetUserDefaultUILanguage(1031);
  auto resources = Open();
  resources->InitializeLanguages();
  EXPECT_EQ(resources->LanguageName(), u"German");
  EXPECT_EQ(resources->GetString(u"Common", u"E4"), u"Setup wurde abgebrochen.");
  EXPECT_EQ(resources->GetString(u"Common", u"OnlyEnglish"), u"English only");
  EXPECT_EQ(resources->GetString(u"OnlyGerman", u"Key"), u"Nur Deutsch");
  EXPECT_EQ(resources->GetString(u"Common", u"Missing"), u"");
  EXPECT_EQ(resources->GetLanguageFamily(), u"DE");
}

TEST_F(SetupResourcesTest, ChooserDecidesAndMinusOneMeansEnglish) {
  auto resources = Open();
  int offered = -2;
  resources->InitializeLanguages([&](const std::vector<TLanguageItem>& items, int pre) {
    offered = pre;
    return items[2].Index;  // Русский
  });
  EXPECT_EQ(offered, 1);  // English preselected for the fake's 1033
  EXPECT_EQ(resources->LanguageName(), u"Russian");
  EXPECT_EQ(resources->GetLanguageFamily(), u"RU");

  auto again = Open();
  again->InitializeLanguages([](const std::vector<TLanguageItem>&, int) { return -1; });
  EXPECT_EQ(again->LanguageName(), u"English");
}

TEST_F(SetupResourcesTest, MissingEnglishFileIsReported) {
  data_.RemoveSetupFile(u"English.lng");
  auto resources = Open();
  try {
    resources->InitializeLanguages();
    FAIL();
  } catch (const EInstallerInstallError& e) {
    EXPECT_EQ(e.Message(), u"Cannot locate \"English.lng\" file in setup archive");
  }
}

TEST_F(SetupResourcesTest, ExpandsLineBreaksAndUpperCaseVariablesOnly) {
  auto resources = Open();
  resources->InitializeLanguages();
  EXPECT_EQ(resources->GetString(u"PageWelcome", u"Title"),
            u"Welcome to Nolu\r\nVersion 5.40, 2026-11-20");
  EXPECT_EQ(resources->ExpandVariables(u"$name $NAME $DEST$LINK"),
            u"$name Nolu C:\\Program Files (x86)\\Nolu\\https://nolu.example/");
  EXPECT_EQ(resources->ExpandVariables(u"$PROGRAMS|$STARTMENU|$DESKTOP|$TEMP"),
            u"C:\\Program Files (x86)\\|"
            u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\|"
            u"C:\\Users\\Public\\Desktop\\|C:\\Users\\User\\AppData\\Local\\Temp\\");
}

TEST_F(SetupResourcesTest, AnErrorOfAnyVariableSurfacesFromEveryLookup) {
  auto resources = Open();
  resources->InitializeLanguages();
  run_.product_name.clear();
  EXPECT_THROW(resources->GetString(u"Common", u"E4"), EInstallerGeneralError);
}

TEST_F(SetupResourcesTest, ExpandPathCleansTheExpandedPath) {
  run_.dest_path = u"C:\\Dir\\";
  auto resources = Open();
  EXPECT_EQ(resources->ExpandPath(u"$DEST\\Folder\\\\file.txt"), u"C:\\Dir\\Folder\\file.txt");
  // "\n" is a line break in strings only: in a path it is a separator before a name.
  EXPECT_EQ(resources->ExpandPath(u"$DEST\\nolu\\new.txt"), u"C:\\Dir\\nolu\\new.txt");
}

// The folders of the run are names the system gave or accepted: they are taken as they are,
// and only what the script writes below them is cleaned.
TEST_F(SetupResourcesTest, ExpandPathKeepsTheFoldersOfTheRunAsTheyAre) {
  struct Case {
    const char16_t* dest;
    const char16_t* path;
    const char16_t* expected;
  } cases[] = {
      {u"C:\\Users\\U\\.apps\\Nolu\\", u"$DEST\\Nolu.exe", u"C:\\Users\\U\\.apps\\Nolu\\Nolu.exe"},
      {u"C:\\Apps\\ Nolu\\", u"$DEST\\ .x\\y.txt", u"C:\\Apps\\ Nolu\\x\\y.txt"},
      {u"C:\\Users\\U\\.apps\\Nolu\\", u"C:\\Users\\U\\.apps\\Nolu\\Uninstall.dat",
       u"C:\\Users\\U\\.apps\\Nolu\\Uninstall.dat"},
      // What follows the folder cannot climb out of it.
      {u"C:\\.Nolu\\", u"$DEST\\..\\..\\Windows\\x.dll", u"C:\\.Nolu\\Windows\\x.dll"},
      {u"C:\\.Nolu\\", u"$DEST\\C:\\x.dll", u"C:\\.Nolu\\C\\x.dll"},
      // Other text is cleaned whole.
      {u"C:\\.Nolu\\", u"D:\\.x\\y.txt", u"D:\\x\\y.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(StringToUtf8(c.path));
    run_.dest_path = c.dest;
    auto resources = Open();
    EXPECT_EQ(resources->ExpandPath(c.path), c.expected);
  }
}

TEST(CleanPathTest, KeepsTheRootAndCleansEveryComponent) {
  struct Case {
    const char16_t* input;
    const char16_t* expected;
  } cases[] = {
      {u"C:\\Dir\\\\x.txt", u"C:\\Dir\\x.txt"},
      {u"C:\\Dir\\Sub\\", u"C:\\Dir\\Sub\\"},  // a trailing backslash stays
      {u"C:\\a\"b\\c", u"C:\\a'b\\c"},         // a double quote becomes a single one
      {u"C:\\a<b>c*d?e|f\\g", u"C:\\abcdef\\g"},
      {u"C:\\  .hidden  \\x", u"C:\\hidden\\x"},  // leading blanks and dots, trailing blanks
      {u"C:\\..\\x", u"C:\\x"},                   // ".." cannot climb out: it is cleaned away
      {u"C:\\a\x01\x1f"
       u"b",
       u"C:\\ab"},
      {u"\\\\server\\share\\x", u"\\\\server\\share\\x"},
      {u"relative\\path", u"relative\\path"},
      {u"C:/x", u"C:\\x"},  // a slash is removed, not a separator
      // The long forms keep their prefix and their root.
      {u"\\\\?\\C:\\Dir\\\\x", u"\\\\?\\C:\\Dir\\x"},
      {u"\\\\?\\UNC\\server\\share\\x", u"\\\\?\\UNC\\server\\share\\x"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CleanPath(c.input), c.expected) << StringToUtf8(c.input);
  }
  const String long_name(300, u'n');
  EXPECT_EQ(CleanPath(u"C:\\" + long_name), u"C:\\" + String(260, u'n'));
}

// A Russian script may well be written in the code page of Russian texts.
TEST_F(SetupResourcesTest, ScriptInACodePageOrAnUnknownEncoding) {
  std::string script = TFakeSetupData::SampleInstallXml();
  script.replace(script.find("utf-8"), 5, "windows-1251");
  script.replace(script.find("value=\"Nolu\""), 13, "value=\"\xCD\xEE\xEB\xF3\"");
  data_.SetSetupFile(u"Install.xml", script);
  EXPECT_EQ(Open()->Script().GetSetting(u"ProductName"), u"Нолу");

  script.replace(script.find("windows-1251"), 12, "x-unknown");
  data_.SetSetupFile(u"Install.xml", script);
  try {
    Open();
    FAIL();
  } catch (const Exception& e) {
    EXPECT_NE(e.Message().find(u"\"x-unknown\""), String::npos) << StringToUtf8(e.Message());
  }
}

TEST_F(SetupResourcesTest, ProductPackageWinsOverSetupPackage) {
  data_.SetSetupFile(u"Shared.txt", "from setup");
  data_.SetProductFile(u"SHARED.TXT", "from product");
  data_.SetSetupFile(u"SetupOnly.txt", "setup only");
  auto resources = Open();
  EXPECT_EQ(Text(*resources->GetStream(u"shared.txt")), "from product");
  EXPECT_EQ(Text(*resources->GetStream(u"SetupOnly.txt")), "setup only");
  const auto as_text = [](std::span<const uint8_t> bytes) {
    return std::string(bytes.begin(), bytes.end());
  };
  EXPECT_EQ(as_text(resources->GetBytes(u"shared.txt")), "from product");
  EXPECT_EQ(as_text(resources->GetBytes(u"SetupOnly.txt")), "setup only");
  for (const auto& lookup : {std::function<void()>([&] { resources->GetStream(u"Nothing.bin"); }),
                             std::function<void()>([&] { resources->GetBytes(u"Nothing.bin"); })}) {
    try {
      lookup();
      FAIL();
    } catch (const EInstallerInstallError& e) {
      EXPECT_EQ(e.Message(), u"Cannot locate \"Nothing.bin\" file in setup archive");
    }
  }
}

TEST_F(SetupResourcesTest, LicenseFollowsTheLanguageFamilyThenEnglish) {
  platform_.System().SetUserDefaultUILanguage(1031);
  auto german = Open();
  german->InitializeLanguages();
  EXPECT_EQ(Text(*german->GetLicenseStream()), "{\\rtf1 Deutsche Lizenz}");

  platform_.System().SetUserDefaultUILanguage(1049);
  auto russian = Open();
  russian->InitializeLanguages();
  EXPECT_EQ(Text(*russian->GetLicenseStream()), "{\\rtf1 English license}");
}

TEST_F(SetupResourcesTest, StringListSplitsLinesWithoutATrailingEmptyItem) {
  data_.SetSetupFile(u"addons.ini", "P1=/a\r\nP2=/b\n\nCL=%s\r\n");
  auto resources = Open();
  EXPECT_EQ(resources->GetStringList(u"addons.ini"),
            (StringList{u"P1=/a", u"P2=/b", u"", u"CL=%s"}));
}

TEST_F(SetupResourcesTest, UninstallerReadsItsProductPackageFromTheDataFile) {
  TFakeSetupData record;
  record.SetProductFile(u"Uninstall.ini", "[Uninstall]\r\nCount=0\r\n");
  const Bytes dat = record.BuildProductPackage();
  platform_.Files().AddFile(u"C:\\Program Files (x86)\\Nolu\\Uninstall.dat", dat);
  platform_.System().SetModuleFileName(u"C:\\Program Files (x86)\\Nolu\\UNINSTALL.EXE");
  auto resources = Open();
  EXPECT_TRUE(resources->ProductPackage().Contains(u"Uninstall.ini"));
  EXPECT_FALSE(resources->ProductPackage().Contains(u"Nolu.exe"));

  platform_.Files().Delete(u"C:\\Program Files (x86)\\Nolu\\Uninstall.dat");
  EXPECT_THROW(Open(), EFOpenError);
}

// The PRODUCT package as the build embeds it, with its body damaged and its table copy sound.
void InstallWithCorruptProductBody(const TFakeSetupData& data, TFakePlatform& platform) {
  data.Install(platform);
  Bytes product = data.BuildProductPackage();
  product[product.size() / 2] ^= 0x55;
  platform.Resources().SetRcData(u"PRODUCT", product);
}

String Outcome(const std::function<void()>& fn) {
  try {
    fn();
    return u"ok";
  } catch (const Exception& e) {
    return e.Message();
  }
}

TEST_F(SetupResourcesTest, ACorruptProductBodyIsFoundByItsFirstUse) {
  InstallWithCorruptProductBody(data_, platform_);
  // The start-up's lookups answer from the table copy; the SETUP package's entries are read.
  auto resources = std::make_unique<TSetupResources>(run_);
  EXPECT_TRUE(resources->ProductPackage().Contains(u"Nolu.exe"));
  EXPECT_EQ(Outcome([&] { resources->InitializeLanguages(); }), u"ok");
  EXPECT_EQ(Outcome([&] { resources->ProductPackage().Wait(); }), u"Package was corrupted");
  EXPECT_EQ(Outcome([&] { resources->GetStream(u"Nolu.exe"); }), u"Package was corrupted");

  // A script of the product's own is its first use at once.
  data_.SetProductFile(u"Install.xml", TFakeSetupData::SampleInstallXml());
  InstallWithCorruptProductBody(data_, platform_);
  EXPECT_EQ(Outcome([&] { TSetupResources other(run_); }), u"Package was corrupted");
}

TEST_F(SetupResourcesTest, CorruptedTableCopyOrMissingPackagesStopTheConstruction) {
  struct Case {
    const char* what;
    std::function<void(TFakePlatform&)> damage;
    String message;
  } cases[] = {
      {"table copy",
       [](TFakePlatform& p) {
         const std::span<const uint8_t> copy = *p.Resources().RcData(kProductTableResource);
         Bytes table(copy.begin(), copy.end() - 1);
         p.Resources().SetRcData(kProductTableResource, table);
       },
       u"Package was corrupted"},
      {"PRODUCT header",
       [](TFakePlatform& p) {
         const std::span<const uint8_t> package = *p.Resources().RcData(u"PRODUCT");
         Bytes product(package.begin(), package.end());
         product[1] = 'Q';
         p.Resources().SetRcData(u"PRODUCT", product);
       },
       u"Package was corrupted"},
      {"SETUP", [](TFakePlatform& p) { p.Resources().RemoveRcData(u"SETUP"); },
       u"Resource SETUP not found"},
  };
  for (const Case& c : cases) {
    data_.Install(platform_);
    c.damage(platform_);
    try {
      TSetupResources resources(run_);
      ADD_FAILURE() << c.what;
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), c.message) << c.what;
    }
  }
}

TEST_F(SetupResourcesTest, WithoutATableCopyTheProductIsDecodedAtOnce) {
  data_.Install(platform_);
  platform_.Resources().RemoveRcData(kProductTableResource);
  TSetupResources resources(run_);
  EXPECT_TRUE(resources.ProductPackage().Finished());
  EXPECT_EQ(Text(*resources.GetStream(u"Nolu.exe")), "MZ nolu");
}

TEST_F(SetupResourcesTest, TwoThreadsLookUpAtOnce) {
  auto resources = Open();
  resources->InitializeLanguages();
  auto work = [&] {
    for (int i = 0; i < 300; ++i) {
      ASSERT_EQ(resources->GetString(u"Common", u"E4"), u"Setup was aborted.");
      ASSERT_EQ(resources->ExpandPath(u"$DEST\\x"), u"C:\\Program Files (x86)\\Nolu\\x");
      ASSERT_EQ(Text(*resources->GetStream(u"Readme_DE.txt")), "Lies mich");
    }
  };
  std::thread other(work);
  work();
  other.join();
}

}  // namespace
}  // namespace nolu
