#include "core/setup_product_info.h"

#include "base/format.h"
#include "base/path.h"
#include "core/setup.h"
#include "platform/platform.h"
#include "resources/installer_errors.h"
#include "resources/setup_resources.h"

namespace nolu {
namespace {

String ScriptSetting(StringView name) {
  return Setup()->Resources().Script().GetSetting(name);
}

}  // namespace

String TSetupProductInfo::GetDefaultPath() {
  return IncludeTrailingBackslash(Setup()->Resources().ProgramsFolder() + GetProductName());
}

String TSetupProductInfo::GetDefaultPortablePath() {
  String desktop;
  if (!CurrentPlatform().Shell().SpecialFolder(Csidl::kDesktopDirectory, desktop)) {
    desktop = CurrentPlatform().Files().TempFolder();
  }
  return IncludeTrailingBackslash(IncludeTrailingBackslash(desktop) + GetProductName());
}

String TSetupProductInfo::GetHomePage() {
  return ScriptSetting(u"HomePage");
}

String TSetupProductInfo::GetProductName() {
  String name = ScriptSetting(u"ProductName");
  if (name.empty()) throw EInstallerGeneralError(u"Setup has wrong config");
  return name;
}

String TSetupProductInfo::GetPublisher() {
  return ScriptSetting(u"Publisher");
}

String TSetupProductInfo::GetProductVersion() {
  return ScriptSetting(u"ProductVersion");
}

int TSetupProductInfo::GetProductVersionId() {
  int64_t value = 0;
  if (!TryStrToInt(ScriptSetting(u"ProductVersionId"), value) || value < INT32_MIN ||
      value > INT32_MAX) {
    return 0;
  }
  return static_cast<int>(value);
}

String TSetupProductInfo::GetVersionInfo() {
  return GetProductVersion() + u", " + ScriptSetting(u"BuildDate");
}

String TSetupProductInfo::GetInstalledVersionText() {
  const int version = GetInstalledVersion();
  const int minor = (version % 1000) / 10;
  String text = IntToStr(version / 1000) + u".";
  if (minor >= 0 && minor < 10) text += u"0";
  return text + IntToStr(minor);
}

String TSetupProductInfo::GetProductVersionNo() {
  return ScriptSetting(u"ProductVersionNo");
}

}  // namespace nolu
