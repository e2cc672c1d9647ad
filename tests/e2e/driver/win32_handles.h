// Owners of the Win32 handles the driver opens, so no path leaks one.
#pragma once

#include <objbase.h>
#include <windows.h>

namespace nolu::driver {

template <typename Handle, BOOL(WINAPI* Close)(Handle)>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() {
    if (handle_) Close(handle_);
  }
  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  Handle handle_ = nullptr;
};

using KernelHandle = UniqueHandle<HANDLE, CloseHandle>;
using MemoryDc = UniqueHandle<HDC, DeleteDC>;
using GdiBitmap = UniqueHandle<HGDIOBJ, DeleteObject>;
inline BOOL WINAPI CloseRegistryKey(HKEY key) {
  return RegCloseKey(key) == ERROR_SUCCESS;
}
using RegistryKey = UniqueHandle<HKEY, CloseRegistryKey>;

// A window's device context, released with the window it came from.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetWindowDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// COM for the current thread, for the commands that use the shell or the imaging component.
class ComApartment {
 public:
  ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }

 private:
  HRESULT result_;
};

}  // namespace nolu::driver
