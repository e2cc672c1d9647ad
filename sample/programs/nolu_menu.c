/* The shell-menu library of the sample product, built once for x64 (nolu_menu64.dll) and once
   for x86 (nolu_menu32.dll). The setup unregisters it through its DllUnregisterServer export
   before it deletes the file; here the registration calls only leave a line in the log beside
   the library. */
#include <windows.h>

#include "program_log.h"

static HMODULE this_module;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) {
    this_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

STDAPI DllRegisterServer(void) {
  AppendLogLine(this_module, L"DllRegisterServer");
  return S_OK;
}

STDAPI DllUnregisterServer(void) {
  AppendLogLine(this_module, L"DllUnregisterServer");
  return S_OK;
}
