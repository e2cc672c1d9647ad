#include "platform/win32/shell_win32.h"

#include <objbase.h>
#include <objidl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <windows.h>
// clang-format off: the known folders' names need <windows.h> before them
#include <knownfolders.h>
// clang-format on

#include "base/path.h"
#include "platform/error_codes.h"
#include "platform/win32/handles.h"
#include "platform/win32/waitable_win32.h"
#include "platform/win32/win32_strings.h"

namespace nolu {
namespace {

// A COM failure as a Windows error code where it wraps one, else the HRESULT itself.
uint32_t ErrorOf(HRESULT hr) {
  if (SUCCEEDED(hr)) return kErrorSuccess;
  if (HRESULT_FACILITY(hr) == FACILITY_WIN32) return HRESULT_CODE(hr);
  return static_cast<uint32_t>(hr);
}

const wchar_t* OrNull(const String& text) {
  return text.empty() ? nullptr : W(text);
}

// Reads one text field of a shell link through a fixed-size Get* call.
template <typename Fn>
String LinkField(Fn get) {
  std::wstring buffer(32768, L'\0');
  if (FAILED(get(buffer.data(), static_cast<int>(buffer.size())))) return String();
  return FromW(buffer.c_str());
}

}  // namespace

bool TWin32Shell::SpecialFolder(Csidl folder, String& path) {
  if (folder == Csidl::kDownloads || folder == Csidl::kCommonDownloads) {
    PWSTR known = nullptr;
    const HRESULT hr = ::SHGetKnownFolderPath(
        folder == Csidl::kDownloads ? FOLDERID_Downloads : FOLDERID_PublicDownloads,
        KF_FLAG_DONT_VERIFY, nullptr, &known);
    if (SUCCEEDED(hr)) path = IncludeTrailingBackslash(FromW(known));
    ::CoTaskMemFree(known);  // also when the call failed
    return SUCCEEDED(hr) && !path.empty();
  }
  wchar_t buffer[MAX_PATH + 1] = {};
  if (!::SHGetSpecialFolderPathW(nullptr, buffer, static_cast<int>(folder), FALSE)) return false;
  path = IncludeTrailingBackslash(FromW(buffer));
  return !path.empty();
}

TStartResult TWin32Shell::Execute(const TShellExecuteInfo& info) {
  SHELLEXECUTEINFOW sei{};
  sei.cbSize = sizeof(sei);
  sei.fMask =
      SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOZONECHECKS;
  sei.lpVerb = OrNull(info.Verb);
  sei.lpFile = W(info.File);
  sei.lpParameters = OrNull(info.Parameters);
  sei.lpDirectory = OrNull(info.Folder);
  sei.nShow = info.Show;
  TStartResult result;
  if (!::ShellExecuteExW(&sei)) {
    result.Error = ::GetLastError();
    if (result.Error == kErrorSuccess) result.Error = kErrorNoAssociation;
    return result;
  }
  if (sei.hProcess) result.Process = std::make_unique<TWin32Process>(sei.hProcess);
  return result;
}

uint32_t TWin32Shell::ShellOpen(StringView verb, StringView file, StringView parameters,
                                StringView folder, int show) {
  const String v(verb), f(file), p(parameters), d(folder);
  ::SetLastError(ERROR_SUCCESS);
  const auto code = reinterpret_cast<INT_PTR>(
      ::ShellExecuteW(nullptr, OrNull(v), W(f), OrNull(p), OrNull(d), show));
  if (code > 32) return kErrorSuccess;
  const DWORD error = ::GetLastError();
  return error != ERROR_SUCCESS ? error
                                : static_cast<uint32_t>(code ? code : kErrorNotEnoughMemory);
}

uint32_t TWin32Shell::CreateShellLink(StringView link_path, const TShellLink& link) {
  TComScope com;
  TComPtr<IShellLinkW> shell_link;
  HRESULT hr = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(shell_link.Put()));
  if (FAILED(hr)) return ErrorOf(hr);
  shell_link->SetPath(W(link.Target));
  if (!link.Arguments.empty()) shell_link->SetArguments(W(link.Arguments));
  if (!link.WorkingFolder.empty()) shell_link->SetWorkingDirectory(W(link.WorkingFolder));
  if (!link.Description.empty()) shell_link->SetDescription(W(link.Description));
  TComPtr<IPersistFile> file;
  hr = shell_link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Put()));
  if (FAILED(hr)) return ErrorOf(hr);
  const String path(link_path);
  return ErrorOf(file->Save(W(path), TRUE));
}

uint32_t TWin32Shell::ReadShellLink(StringView link_path, TShellLink& link) {
  TComScope com;
  TComPtr<IShellLinkW> shell_link;
  HRESULT hr = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(shell_link.Put()));
  if (FAILED(hr)) return ErrorOf(hr);
  TComPtr<IPersistFile> file;
  hr = shell_link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Put()));
  if (FAILED(hr)) return ErrorOf(hr);
  const String path(link_path);
  hr = file->Load(W(path), STGM_READ);
  if (FAILED(hr)) return ErrorOf(hr);
  IShellLinkW* sl = shell_link.Get();
  link.Target =
      LinkField([&](wchar_t* b, int n) { return sl->GetPath(b, n, nullptr, SLGP_RAWPATH); });
  link.Arguments = LinkField([&](wchar_t* b, int n) { return sl->GetArguments(b, n); });
  link.WorkingFolder = LinkField([&](wchar_t* b, int n) { return sl->GetWorkingDirectory(b, n); });
  link.Description = LinkField([&](wchar_t* b, int n) { return sl->GetDescription(b, n); });
  return kErrorSuccess;
}

void TWin32Shell::ChangeNotify(uint32_t event, uint32_t flags) {
  ::SHChangeNotify(static_cast<LONG>(event), flags, nullptr, nullptr);
}

}  // namespace nolu
