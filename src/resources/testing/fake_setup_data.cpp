#include "resources/testing/fake_setup_data.h"

#include "base/locale.h"
#include "base/memory_stream.h"
#include "base/read_only_memory_stream.h"
#include "package/setup_package_builder.h"
#include "package/setup_package_reader.h"
#include "package/setup_package_scrambler.h"
#include "platform/fake/fake_platform.h"
#include "resources/setup_resources.h"

namespace nolu {

std::string TFakeSetupData::SampleInstallXml() {
  return R"(<?xml version="1.0" encoding="utf-8"?>
<setup>
  <setup>
    <license>
      <File name="License_EN.rtf" lang-family="EN"/>
      <File name="License_DE.rtf" lang-family="DE"/>
    </license>
  </setup>
  <product>
    <Settings>
      <Setting name="ProductName" value="Nolu"/>
      <Setting name="ProductVersion" value="5.40"/>
      <Setting name="ProductVersionId" value="5401"/>
      <Setting name="ProductVersionNo" value="5.40.1"/>
      <Setting name="BuildDate" value="2026-11-20"/>
      <Setting name="Publisher" value="Nolu Team"/>
      <Setting name="HomePage" value="https://nolu.example/"/>
    </Settings>
    <Components>
      <File name="$DEST\Nolu.exe"/>
      <File name="$DEST\System\nolu_menu64.dll">System\nolu_menu64.dll</File>
      <File name="$DEST\Readme.txt" lang-family="EN">Readme_EN.txt</File>
      <File name="$DEST\Readme.txt" lang-family="DE">Readme_DE.txt</File>
    </Components>
    <Actions>
      <File name="$DEST\Nolu.exe"/>
    </Actions>
    <Shortcuts>
      <File name="$DESKTOP\$NAME.lnk">$DEST\Nolu.exe</File>
    </Shortcuts>
  </product>
</setup>
)";
}

std::string TFakeSetupData::LanguageFile(StringView name, int lang_id, StringView family,
                                         std::string_view strings) {
  std::string text = "\xEF\xBB\xBF[File]\r\nName=" + StringToUtf8(name) +
                     "\r\nLangId=" + std::to_string(lang_id) +
                     "\r\nFamily=" + StringToUtf8(family) + "\r\n\r\n";
  text += strings;
  return text;
}

TFakeSetupData TFakeSetupData::Sample() {
  TFakeSetupData data;
  data.SetSetupFile(u"Install.xml", SampleInstallXml());
  data.SetSetupFile(u"English.lng",
                    LanguageFile(u"English", 1033, u"EN",
                                 "[Common]\r\nA4=Copying files...\r\nA7=Writing the uninstall "
                                 "record...\r\nE1=Cannot write the file %s.\r\nE3=Cannot create "
                                 "the folder %s.\r\nE4=Setup was aborted.\r\nQM2=The file %s is "
                                 "in use.\r\nOnlyEnglish=English only\r\n[PageWelcome]\r\n"
                                 "Title=Welcome to $NAME\\nVersion $VERSION\r\n"));
  data.SetSetupFile(u"German.lng",
                    LanguageFile(u"Deutsch", 1031, u"DE",
                                 "[Common]\r\nE4=Setup wurde abgebrochen.\r\n[OnlyGerman]\r\n"
                                 "Key=Nur Deutsch\r\n"));
  data.SetSetupFile(u"Russian.lng", LanguageFile(u"Русский", 1049, u"RU",
                                                 "[Common]\r\nE4=Установка прервана.\r\n"));
  data.SetSetupFile(u"License_EN.rtf", "{\\rtf1 English license}");
  data.SetSetupFile(u"License_DE.rtf", "{\\rtf1 Deutsche Lizenz}");
  data.SetProductFile(u"Nolu.exe", "MZ nolu");
  data.SetProductFile(u"System\\nolu_menu64.dll", "MZ menu64");
  data.SetProductFile(u"Readme_EN.txt", "Read me");
  data.SetProductFile(u"Readme_DE.txt", "Lies mich");
  return data;
}

void TFakeSetupData::Set(Files& files, StringView name, std::string_view content) {
  for (auto& [existing, bytes] : files) {
    if (EqualsIgnoreCase(existing, name)) {
      bytes = std::string(content);
      return;
    }
  }
  files.emplace_back(String(name), std::string(content));
}

void TFakeSetupData::SetSetupFile(StringView name, std::string_view content) {
  Set(setup_files_, name, content);
}

void TFakeSetupData::SetProductFile(StringView name, std::string_view content) {
  Set(product_files_, name, content);
}

void TFakeSetupData::RemoveSetupFile(StringView name) {
  std::erase_if(setup_files_, [&](const auto& f) { return EqualsIgnoreCase(f.first, name); });
}

Bytes TFakeSetupData::Build(const Files& files) {
  TSetupPackageBuilder builder(TSetupPackageScrambler::kDefaultKey);
  for (const auto& [name, content] : files) {
    TMemoryStream source(Bytes(content.begin(), content.end()));
    builder.Add(source, name);
  }
  TMemoryStream out;
  // Level 0 keeps the many packages of a test run cheap; the format is the same.
  builder.Commit(out, 0);
  return out.TakeBytes();
}

Bytes TFakeSetupData::BuildSetupPackage() const {
  return Build(setup_files_);
}
Bytes TFakeSetupData::BuildProductPackage() const {
  return Build(product_files_);
}

Bytes TFakeSetupData::FileTableOf(const Bytes& package) {
  TReadOnlyMemoryStream source(package);
  const TSetupPackageReader reader(source);
  const std::span<const uint8_t> table = reader.FileTableBytes();
  return Bytes(table.begin(), table.end());
}

void TFakeSetupData::Install(TFakePlatform& platform) const {
  platform.Resources().SetRcData(u"SETUP", BuildSetupPackage());
  const Bytes product = BuildProductPackage();
  platform.Resources().SetRcData(kProductTableResource, FileTableOf(product));
  platform.Resources().SetRcData(u"PRODUCT", product);
}

}  // namespace nolu
