// special-folder: where the system keeps a known folder in this prefix, so scenarios need
// not hard-code Wine's layout (shortcuts on the common desktop, the temporary folder).
#include <windows.h>
// The shell headers build on <windows.h>.
#include <shlobj.h>

#include "arguments.h"
#include "base/locale.h"
#include "driver_commands.h"
#include "win32_text.h"

namespace nolu::driver {
namespace {

struct KnownFolder {
  const char16_t* name;
  const KNOWNFOLDERID* id;
};

const KnownFolder kFolders[] = {
    {u"Desktop", &FOLDERID_Desktop},
    {u"CommonDesktop", &FOLDERID_PublicDesktop},
    {u"Programs", &FOLDERID_Programs},
    {u"CommonPrograms", &FOLDERID_CommonPrograms},
    {u"ProgramFiles", &FOLDERID_ProgramFilesX64},
    {u"ProgramFilesX86", &FOLDERID_ProgramFilesX86},
    {u"AppData", &FOLDERID_RoamingAppData},
    {u"LocalAppData", &FOLDERID_LocalAppData},
    {u"CommonAppData", &FOLDERID_ProgramData},
};

String WithBackslash(String path) {
  if (!path.empty() && path.back() != u'\\') path.push_back(u'\\');
  return path;
}

}  // namespace

ExitCode SpecialFolder(const StringList& args, JsonWriter& result) {
  const Arguments a(args, OptionNames{{u"name"}, {}});
  const String name = a.Get(u"name");
  if (EqualsIgnoreCase(name, u"Temp")) {
    wchar_t path[MAX_PATH + 1] = {};
    if (!GetTempPathW(MAX_PATH + 1, path)) throw SystemFailure(u"GetTempPathW", GetLastError());
    result.Field("name", name).Field("path", WithBackslash(FromWide(path)));
    return ExitCode::kOk;
  }
  for (const KnownFolder& folder : kFolders) {
    if (!EqualsIgnoreCase(name, folder.name)) continue;
    PWSTR path = nullptr;
    const HRESULT hr = SHGetKnownFolderPath(*folder.id, KF_FLAG_DEFAULT, nullptr, &path);
    if (FAILED(hr)) throw SystemFailure(u"SHGetKnownFolderPath " + name, hr);
    const String text = WithBackslash(FromWide(path));
    CoTaskMemFree(path);
    result.Field("name", String(folder.name)).Field("path", text);
    return ExitCode::kOk;
  }
  throw UsageError(u"unknown folder name \"" + name + u"\"");
}

}  // namespace nolu::driver
