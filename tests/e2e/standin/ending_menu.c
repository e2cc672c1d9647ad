/* A shell-menu library that takes down whoever unregisters it: its DllUnregisterServer ends
   the calling process at once, with exit code 0 and without a word. It plays a broken shell
   extension of the product, so that a scenario can show what a caller of the uninstaller
   learns when the removal dies half-way (a failure, never the 0 it looks like). */
#include <windows.h>

STDAPI DllRegisterServer(void) {
  return S_OK;
}

STDAPI DllUnregisterServer(void) {
  ExitProcess(0);
}
