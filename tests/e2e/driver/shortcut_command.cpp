// shortcut-target: what a shell link points at, read through the shell as Explorer does.
#include <windows.h>
// The shell and COM headers build on <windows.h>.
#include <shlobj.h>
#include <wrl/client.h>

#include "arguments.h"
#include "driver_commands.h"
#include "win32_handles.h"
#include "win32_text.h"

namespace nolu::driver {
namespace {

using Microsoft::WRL::ComPtr;

// Link fields hold paths, which may be long.
constexpr int kFieldChars = 32768;

}  // namespace

ExitCode CreateShortcut(const StringList& args, JsonWriter& result) {
  const Arguments a(args, OptionNames{{u"target", u"arguments", u"workdir", u"description"}, {}});
  if (a.Positional().size() != 1) throw UsageError(u"give one link file");
  const String& path = a.Positional()[0];
  const std::optional<String> target = a.Find(u"target");
  if (!target) throw UsageError(u"give the target: --target PATH");

  const ComApartment com;
  ComPtr<IShellLinkW> link;
  HRESULT hr =
      CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link));
  if (FAILED(hr)) throw SystemFailure(u"creating a shell link object", hr);
  link->SetPath(Wide(*target));
  link->SetArguments(Wide(a.Get(u"arguments")));
  link->SetWorkingDirectory(Wide(a.Get(u"workdir")));
  link->SetDescription(Wide(a.Get(u"description")));
  ComPtr<IPersistFile> file;
  hr = link.As(&file);
  if (FAILED(hr)) throw SystemFailure(u"IPersistFile of the shell link", hr);
  hr = file->Save(Wide(path), TRUE);
  if (FAILED(hr)) throw SystemFailure(u"writing the link " + path, hr);
  result.Field("link", path).Field("target", *target);
  return ExitCode::kOk;
}

ExitCode ReadShortcut(const StringList& args, JsonWriter& result) {
  const Arguments a(args, OptionNames{});
  if (a.Positional().size() != 1) throw UsageError(u"give one link file");
  const String& path = a.Positional()[0];
  if (GetFileAttributesW(Wide(path)) == INVALID_FILE_ATTRIBUTES) {
    throw NotFoundError(u"no link file " + path);
  }

  const ComApartment com;
  ComPtr<IShellLinkW> link;
  HRESULT hr =
      CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link));
  if (FAILED(hr)) throw SystemFailure(u"creating a shell link object", hr);
  ComPtr<IPersistFile> file;
  hr = link.As(&file);
  if (FAILED(hr)) throw SystemFailure(u"IPersistFile of the shell link", hr);
  hr = file->Load(Wide(path), STGM_READ);
  if (FAILED(hr)) throw SystemFailure(u"reading the link " + path, hr);

  std::wstring target(kFieldChars, L'\0');
  std::wstring arguments(kFieldChars, L'\0');
  std::wstring folder(kFieldChars, L'\0');
  std::wstring description(kFieldChars, L'\0');
  std::wstring icon(kFieldChars, L'\0');
  int icon_index = 0;
  // Raw: the path as stored, without the shell's search for a moved target.
  link->GetPath(target.data(), kFieldChars, nullptr, SLGP_RAWPATH);
  link->GetArguments(arguments.data(), kFieldChars);
  link->GetWorkingDirectory(folder.data(), kFieldChars);
  link->GetDescription(description.data(), kFieldChars);
  link->GetIconLocation(icon.data(), kFieldChars, &icon_index);

  result.Field("link", path)
      .Field("target", FromWide(target.c_str()))
      .Field("arguments", FromWide(arguments.c_str()))
      .Field("workdir", FromWide(folder.c_str()))
      .Field("description", FromWide(description.c_str()))
      .Field("icon", FromWide(icon.c_str()))
      .Field("icon_index", static_cast<int64_t>(icon_index));
  return ExitCode::kOk;
}

}  // namespace nolu::driver
