// The folder chooser of the Win32 backend: the system's folder dialog. It takes the run's
// title and OK texts; its Cancel and New folder buttons are the system's own, in the
// system's language (the dialog has no way to name them).
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <windows.h>
#include <wrl/client.h>

#include "ui/win32/win32_backend.h"

namespace nolu::ui {
namespace {

using Microsoft::WRL::ComPtr;

// The item of `path`, or of the nearest folder above it that exists (a destination that is
// still to be made opens the chooser at its parent).
ComPtr<IShellItem> NearestExistingFolder(StringView path) {
  std::wstring folder(path.begin(), path.end());
  while (!folder.empty()) {
    ComPtr<IShellItem> item;
    if (SUCCEEDED(SHCreateItemFromParsingName(folder.c_str(), nullptr, IID_PPV_ARGS(&item)))) {
      return item;
    }
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/'))
      folder.pop_back();
    const size_t slash = folder.find_last_of(L"\\/");
    if (slash == std::wstring::npos) break;
    folder.resize(slash + 1);
  }
  return nullptr;
}

}  // namespace

std::optional<String> TWin32Backend::ChooseFolder(TRuxForm* owner, StringView start,
                                                  const TFolderDialogTexts& texts) {
  ComPtr<IFileOpenDialog> dialog;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(&dialog)))) {
    return std::nullopt;
  }
  FILEOPENDIALOGOPTIONS options = 0;
  dialog->GetOptions(&options);
  dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST |
                     FOS_NOCHANGEDIR);
  if (!texts.Title.empty())
    dialog->SetTitle(std::wstring(texts.Title.begin(), texts.Title.end()).c_str());
  if (!texts.Ok.empty()) {
    dialog->SetOkButtonLabel(std::wstring(texts.Ok.begin(), texts.Ok.end()).c_str());
  }
  if (ComPtr<IShellItem> folder = NearestExistingFolder(start)) dialog->SetFolder(folder.Get());
  if (FAILED(dialog->Show(owner ? WindowOf(owner) : nullptr)))
    return std::nullopt;  // cancelled, or no dialog
  ComPtr<IShellItem> result;
  if (FAILED(dialog->GetResult(&result))) return std::nullopt;
  PWSTR path = nullptr;
  if (FAILED(result->GetDisplayName(SIGDN_FILESYSPATH, &path)) || !path) return std::nullopt;
  String chosen(path, path + wcslen(path));
  CoTaskMemFree(path);
  return chosen;
}

}  // namespace nolu::ui
