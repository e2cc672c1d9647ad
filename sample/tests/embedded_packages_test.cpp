// The packages that the build embedded into this program are found by the resource API, are
// byte for byte the package files that setuptool wrote, and give the setup's own readers the
// sample product in every language.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "base/locale.h"
#include "base/memory_stream.h"
#include "package/setup_package_reader.h"
#include "platform/platform.h"
#include "platform/win32/win32_platform.h"
#include "resources/setup_resources.h"

namespace nolu {
namespace {

// The build passes the package files as paths of the build machine; Wine shows its root
// folder as drive Z:.
std::string BuildMachineFile(std::string path) {
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot read " << path;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Resource(const wchar_t* name) {
  HRSRC info = FindResourceW(nullptr, name, MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (!info) return {};
  HGLOBAL loaded = LoadResource(nullptr, info);
  const char* data = static_cast<const char*>(LockResource(loaded));
  return data ? std::string(data, SizeofResource(nullptr, info)) : std::string();
}

TEST(EmbeddedPackages, BothResourcesEqualThePackageFiles) {
  const struct {
    const wchar_t* resource;
    const char* file;
  } packages[] = {{L"SETUP", NOLU_SETUP_PACKAGE}, {L"PRODUCT", NOLU_PRODUCT_PACKAGE}};
  for (const auto& package : packages) {
    const std::string embedded = Resource(package.resource);
    const std::string file = ReadFile(BuildMachineFile(package.file));
    ASSERT_GT(file.size(), 12u) << package.file;
    EXPECT_EQ(file.compare(0, 4, "IPK5"), 0) << package.file;
    EXPECT_EQ(embedded.size(), file.size()) << package.file;
    EXPECT_TRUE(embedded == file) << package.file;
  }
}

// The copy of the PRODUCT table that lets the program answer lookups before the body is
// decoded is the very end of that body.
TEST(EmbeddedPackages, TheProductTableCopyIsTheEndOfTheDecodedBody) {
  const std::string copy = Resource(L"PRODUCTTABLE");
  const std::string file = ReadFile(BuildMachineFile(NOLU_PRODUCT_PACKAGE));
  TMemoryStream source(Bytes(file.begin(), file.end()));
  const TSetupPackageReader reader(source);
  const std::span<const uint8_t> table = reader.FileTableBytes();
  ASSERT_FALSE(table.empty());
  EXPECT_EQ(copy, std::string(table.begin(), table.end()));
}

// What the setup object tells the resources; the product's facts come from the script.
class SampleRunContext : public ISetupRunContext {
 public:
  String DestPath() override { return u"C:\\Program Files (x86)\\Nolu\\"; }
  String HomePage() override { return Setting(u"HomePage"); }
  String ProductName() override { return Setting(u"ProductName"); }
  String VersionInfo() override {
    return Setting(u"ProductVersion") + u", " + Setting(u"BuildDate");
  }
  const TSetupResources* resources = nullptr;

 private:
  String Setting(StringView name) { return resources->Script().GetSetting(name); }
};

std::string Text(const TMemoryStream& stream) {
  return std::string(reinterpret_cast<const char*>(stream.Data()), stream.Bytes().size());
}

TEST(EmbeddedPackages, SetupReadsTheSampleInEveryLanguage) {
  TWin32Platform platform;
  PlatformScope scope(platform);

  const struct {
    const char16_t* file;
    const char16_t* name;  // "File"/"Name", shown in the language dialog
    const char16_t* family;
    const char16_t* license;
    const char16_t* welcome;  // "PageWelcome"/"L1" with "$NAME" expanded
    size_t files;             // components of the family
  } languages[] = {
      {u"English.lng", u"English", u"EN", u"License_EN.rtf", u"Welcome to the Nolu Setup Wizard",
       23},
      {u"German.lng", u"Deutsch", u"DE", u"License_DE.rtf",
       u"Willkommen beim Setup-Assistenten von Nolu", 25},
      {u"Russian.lng", u"Русский", u"RU", u"License_RU.rtf",
       u"Вас приветствует мастер установки Nolu", 25},
  };
  for (const auto& language : languages) {
    SampleRunContext run;
    TSetupResources resources(run);
    run.resources = &resources;
    EXPECT_EQ(resources.Languages(), (StringList{u"English.lng", u"German.lng", u"Russian.lng"}));
    EXPECT_EQ(resources.Script().GetSetting(u"ProductVersionId"), u"5401");

    int chosen = -1;
    for (const TLanguageItem& item : resources.LanguageItems()) {
      EXPECT_FALSE(item.Icon.empty()) << StringToUtf8(item.Name);
      if (item.Name == language.name) chosen = item.Index;
    }
    ASSERT_GE(chosen, 0) << StringToUtf8(language.name);
    resources.InitializeLanguages([&](const std::vector<TLanguageItem>&, int) { return chosen; });
    const std::string which = StringToUtf8(language.file);
    EXPECT_EQ(resources.Languages()[chosen], language.file);
    EXPECT_EQ(resources.GetLanguageFamily(), language.family) << which;
    EXPECT_EQ(resources.GetString(u"PageWelcome", u"L1"), language.welcome) << which;
    EXPECT_NE(resources.GetString(u"PageWelcome", u"L2").find(u"5.40, 2024-05-14"), String::npos)
        << which;

    auto license = resources.GetLicenseStream();
    ASSERT_TRUE(license) << which;
    EXPECT_EQ(Text(*license), Text(*resources.GetStream(language.license))) << which;

    // Every file the run installs is in the packages.
    size_t files = 0;
    const TSetupScriptGroup& components = resources.Script().Components();
    for (size_t i = 0; i < components.Count(); ++i) {
      const TSetupScriptFile& file = components.Items(i);
      if (!file.LangFamily.empty() && !EqualsIgnoreCase(file.LangFamily, language.family)) {
        continue;
      }
      ++files;
      EXPECT_FALSE(resources.GetStream(file.ValueOrFileName())->Bytes().empty())
          << StringToUtf8(file.Name);
    }
    EXPECT_EQ(files, language.files) << which;
    EXPECT_TRUE(resources.ProductPackage().Finished()) << which;
  }
}

}  // namespace
}  // namespace nolu
