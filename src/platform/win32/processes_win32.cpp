#include "platform/win32/processes_win32.h"

#include <windows.h>

#include <string>

#include "platform/error_codes.h"
#include "platform/win32/handles.h"
#include "platform/win32/waitable_win32.h"
#include "platform/win32/win32_strings.h"

namespace nolu {

TStartResult TWin32Processes::StartProcess(StringView command_line, int show, StringView folder) {
  // CreateProcessW may write into the command line: it gets its own copy.
  std::wstring line(command_line.begin(), command_line.end());
  const String dir(folder);
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = static_cast<WORD>(show);
  PROCESS_INFORMATION pi{};
  TStartResult result;
  if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        dir.empty() ? nullptr : W(dir), &si, &pi)) {
    result.Error = ::GetLastError();
    return result;
  }
  TKernelHandle thread(pi.hThread);
  result.Process = std::make_unique<TWin32Process>(pi.hProcess);
  return result;
}

uint32_t TWin32Processes::CallLibraryExport(StringView library, std::string_view name) {
  // No "insert a disk" or "bad image" dialogs while a library of the product loads.
  DWORD old_mode = 0;
  ::SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &old_mode);
  const String path = SystemPath(library);
  // Dependencies come from the library's own folder and the system folder only, never from
  // the current folder or the program's folder.
  HMODULE module = ::LoadLibraryExW(
      W(path), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
  DWORD error = module ? ERROR_SUCCESS : ::GetLastError();
  if (!module && error == ERROR_INVALID_PARAMETER) {
    // Systems without the search flags (Windows 7 before KB2533623).
    module = ::LoadLibraryExW(W(path), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    error = module ? ERROR_SUCCESS : ::GetLastError();
  }
  ::SetThreadErrorMode(old_mode, nullptr);
  if (!module) return error;
  TModuleHandle owned(module);
  const std::string export_name(name);
  using Export = HRESULT(WINAPI*)();
  auto fn = reinterpret_cast<Export>(
      reinterpret_cast<void*>(::GetProcAddress(owned.Get(), export_name.c_str())));
  if (!fn) return kErrorProcNotFound;
  fn();
  return kErrorSuccess;
}

}  // namespace nolu
