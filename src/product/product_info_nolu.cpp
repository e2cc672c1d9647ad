#include "product/product_info_nolu.h"

#include "base/locale.h"
#include "base/path.h"
#include "core/ini_file_io.h"
#include "core/setup.h"
#include "core/setup_action_extract.h"
#include "core/setup_app_repo.h"
#include "platform/platform.h"
#include "product/actions/setup_action_addons_install.h"
#include "product/actions/setup_action_close_applications.h"
#include "product/actions/setup_action_config.h"
#include "product/actions/setup_action_integrate.h"
#include "product/actions/setup_action_prepare.h"
#include "product/actions/setup_action_shortcuts.h"
#include "product/actions/setup_action_uninstall_files.h"
#include "product/actions/setup_action_uninstall_integration.h"
#include "product/actions/setup_action_update_shell_cache.h"
#include "product/options/product_options.h"
#include "resources/setup_resources.h"

namespace nolu {
namespace {

// The configuration file of the copy in `folder`: "Nolu.ini", else the older "Nolu3.ini";
// empty when there is none.
String FindConfigFile(StringView folder) {
  if (folder.empty()) return String();
  IFileSystem& files = CurrentPlatform().Files();
  for (StringView name : {u"Nolu.ini", u"Nolu3.ini"}) {
    String path = IncludeTrailingBackslash(folder) + String(name);
    if (files.FileExists(path)) return path;
  }
  return String();
}

}  // namespace

bool TProductInfoNolu::DetectInstallPath(String& path) {
  for (StringView name : {u"Nolu", u"Nolu3"}) {
    if (TSetupAppRepo::FindInstallPath(name, path)) return true;
  }
  IDesktopWindows& windows = CurrentPlatform().Windows();
  const TWindowId window = windows.FindTopLevelWindow(u"TNoluMainForm");
  if (!window) return false;
  const String folder = ExtractFilePath(windows.WindowOwnerExecutable(window));
  if (folder.empty()) return false;
  path = IncludeTrailingBackslash(folder);
  return true;
}

String TProductInfoNolu::GetDefaultPath() {
  String path;
  if (DetectInstallPath(path)) return path;
  return TSetupProductInfo::GetDefaultPath();
}

bool TProductInfoNolu::CanUpdate() {
  const int version = GetInstalledVersion();
  return version >= kFirstUpdatableVersion && version <= kLastUpdatableVersion;
}

bool TProductInfoNolu::IsPortable() {
  return !installed_config_.ReadBool(u"System", u"UserMode", true);
}

int TProductInfoNolu::GetInstalledVersion() {
  // A negative number is no version of the product: nothing usable is installed.
  const int version = installed_config_.ReadInteger(u"System", u"Version", 0);
  return version > 0 ? version : 0;
}

void TProductInfoNolu::LoadInstalledInfo() {
  // No path, or a file that cannot be read, leaves the configuration empty.
  LoadIniFile(installed_config_, FindConfigFile(Setup()->DestPath()));
  // An update starts with the integration choices of the installed copy (none: defaults).
  CopyIntegrationSection(installed_config_, Setup()->Options());
}

void TProductInfoNolu::PopulateActions(const TActionClassCallback& callback) {
  const TSetup& setup = *Setup();
  // Running copies of the product hold its files open: closing them comes first in both modes.
  callback(ActionClassOf<TSetupActionCloseApplications>());
  if (setup.Mode() == smUninstall) {
    callback(ActionClassOf<TSetupActionUninstallIntegration>());
    callback(ActionClassOf<TSetupActionUninstallFiles>());
    return;
  }
  callback(ActionClassOf<TSetupActionPrepare>());
  if (AddonsOffered()) callback(ActionClassOf<TSetupActionAddonsInstall>());
  callback(ActionClassOf<TSetupActionExtract>());
  callback(ActionClassOf<TSetupActionConfig>());
  // An update keeps the integration and the shortcuts the user has; a portable copy leaves
  // the system alone but may still get shortcuts.
  if ((setup.Flags() & sfUpdate) == 0) {
    if ((setup.Flags() & sfPortable) == 0) callback(ActionClassOf<TSetupActionIntegrate>());
    callback(ActionClassOf<TSetupActionShortcuts>());
  }
  if (CurrentPlatform().System().OsVersion().AtLeast(10, 0)) {
    callback(ActionClassOf<TSetupActionUpdateShellCache>());
  }
}

void TProductInfoNolu::PopulatePages(const TPageClassCallback& callback) {
  if (Setup()->Mode() == smUninstall) {
    callback(TSetupPageClass{u"TSetupPageUninstallParams"});
    return;
  }
  callback(TSetupPageClass{u"TSetupPageWelcome"});
  callback(TSetupPageClass{u"TSetupPageLicense"});
  callback(TSetupPageClass{u"TSetupPageSetup"});
  if (AddonsOffered()) callback(TSetupPageClass{u"TSetupPageAddons"});
  callback(TSetupPageClass{u"TSetupPageIntegration"});
  callback(TSetupPageClass{u"TSetupPageReadyToInstall"});
}

bool AddonsOffered() {
  TSetup& setup = *Setup();
  if ((setup.Flags() & (sfAuto | sfSilent)) != 0) return false;
  return EqualsIgnoreCase(setup.Resources().LanguageName(), u"Russian");
}

std::unique_ptr<TSetupProductInfo> CreateProductInfoNolu() {
  return std::make_unique<TProductInfoNolu>();
}

}  // namespace nolu
