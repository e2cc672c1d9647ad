// TFakeSetupData: the payload of a setup for engine tests — the files of the SETUP and PRODUCT
// packages, built into real packages and installed as resources of a fake platform.
//
//   TFakePlatform platform;
//   PlatformScope scope(platform);
//   TFakeSetupData data = TFakeSetupData::Sample();
//   data.SetProductFile(u"Nolu.exe", "MZ...");
//   data.Install(platform);
//
// Sample() holds a small but complete setup: "Install.xml" with the product's settings and a
// few components per language family, and "English.lng", "German.lng" and "Russian.lng" with
// the metadata and a few strings.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/text.h"

namespace nolu {

class TFakePlatform;

class TFakeSetupData {
 public:
  static TFakeSetupData Sample();

  // Adds a file or replaces the file of that name, keeping its place in the package.
  void SetSetupFile(StringView name, std::string_view content);
  void SetProductFile(StringView name, std::string_view content);
  void RemoveSetupFile(StringView name);

  // Builds both packages and makes them the platform's "SETUP" and "PRODUCT" resources, with
  // the PRODUCT package's table copy, as the build embeds them.
  void Install(TFakePlatform& platform) const;
  // The package bytes alone (for an uninstaller's ".dat" file, a corrupted copy, ...).
  Bytes BuildSetupPackage() const;
  Bytes BuildProductPackage() const;
  // The copy of a package's file table that the build embeds beside the PRODUCT package.
  static Bytes FileTableOf(const Bytes& package);

  static std::string SampleInstallXml();
  // A language file in UTF-8 with its byte-order mark.
  static std::string LanguageFile(StringView name, int lang_id, StringView family,
                                  std::string_view strings);

 private:
  using Files = std::vector<std::pair<String, std::string>>;
  static void Set(Files& files, StringView name, std::string_view content);
  static Bytes Build(const Files& files);

  Files setup_files_;
  Files product_files_;
};

}  // namespace nolu
