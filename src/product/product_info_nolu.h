// TProductInfoNolu: what the engine knows about Nolu. It finds an existing installation,
// reads the configuration file of the copy in the destination folder, decides whether that
// copy may be updated in place, and names the actions and wizard pages of a run.
#pragma once

#include <memory>

#include "base/ini_file.h"
#include "base/text.h"
#include "core/setup_product_info.h"

namespace nolu {

class TProductInfoNolu : public TSetupProductInfo {
 public:
  // Installed versions from 3000 to 5499 (both included) can be updated in place.
  static constexpr int kFirstUpdatableVersion = 3000;
  static constexpr int kLastUpdatableVersion = 5499;

  // The folder of an installation that the system's uninstall entries ("Nolu", then "Nolu3")
  // or a running product window ("TNoluMainForm") point to, with a trailing backslash. False
  // when none is found; nothing raises.
  static bool DetectInstallPath(String& path);

  // The folder of an existing installation, else the programs folder + product name.
  String GetDefaultPath() override;
  bool CanUpdate() override;
  // Not portable unless the installed configuration says "UserMode=0" in section "System".
  bool IsPortable() override;
  // "Version" of section "System" of the installed configuration; 0 when there is none.
  int GetInstalledVersion() override;
  // Reads "Nolu.ini" (else "Nolu3.ini") of the destination folder and starts the options'
  // section "Integration" with the installed copy's choices.
  void LoadInstalledInfo() override;
  void PopulateActions(const TActionClassCallback& callback) override;
  void PopulatePages(const TPageClassCallback& callback) override;

  // The configuration file of the copy in the destination folder, or empty.
  const TRuxIniFile& InstalledConfig() const { return installed_config_; }

 private:
  TRuxIniFile installed_config_;
};

// Whether the add-on page and installer are part of the run: only interactive runs (neither
// "AUTO" nor "SILENT") in Russian.
bool AddonsOffered();

// The product-information class of the program (the virtual constructor the entry hands to
// the setup object).
std::unique_ptr<TSetupProductInfo> CreateProductInfoNolu();

}  // namespace nolu
