// system-info: what the programs under test will find out about the system, so a scenario
// can check that its prefix reports the version and languages it asked for.
#include <windows.h>

#include "arguments.h"
#include "driver_commands.h"
#include "win32_text.h"

namespace nolu::driver {

ExitCode SystemInfo(const StringList& args, JsonWriter& result) {
  const Arguments a(args, OptionNames{});
  // GetVersionExW answers what the manifest allows; the loader's own record is the truth.
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  const auto rtl_get_version = reinterpret_cast<RtlGetVersionFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
  if (rtl_get_version) rtl_get_version(&version);
  wchar_t locale[LOCALE_NAME_MAX_LENGTH] = {};
  GetUserDefaultLocaleName(locale, LOCALE_NAME_MAX_LENGTH);
  result
      .Field("version", IntToStr(version.dwMajorVersion) + u"." + IntToStr(version.dwMinorVersion))
      .Field("build", static_cast<int64_t>(version.dwBuildNumber))
      .Field("ui_language", static_cast<int64_t>(GetUserDefaultUILanguage()))
      .Field("user_lcid", static_cast<int64_t>(GetUserDefaultLCID()))
      .Field("locale_name", FromWide(locale))
      .Field("acp", static_cast<int64_t>(GetACP()))
      .Field("oemcp", static_cast<int64_t>(GetOEMCP()));
  return ExitCode::kOk;
}

}  // namespace nolu::driver
