// RAII owners for the Windows handles of the platform layer: every handle is owned from the
// moment it is created, and closed exactly once.
#pragma once

#include <objbase.h>
#include <windows.h>

#include <utility>

namespace nolu {

// A handle type with its "none" value and its closing function, given by a traits struct:
//   struct Traits { using Type = ...; static Type None(); static void Close(Type); };
template <typename Traits>
class TOwnedHandle {
 public:
  using Type = typename Traits::Type;

  TOwnedHandle() = default;
  explicit TOwnedHandle(Type handle) : handle_(handle) {}
  ~TOwnedHandle() { Reset(); }
  TOwnedHandle(TOwnedHandle&& other) noexcept : handle_(other.Release()) {}
  TOwnedHandle& operator=(TOwnedHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  TOwnedHandle(const TOwnedHandle&) = delete;
  TOwnedHandle& operator=(const TOwnedHandle&) = delete;

  Type Get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::None(); }
  Type Release() { return std::exchange(handle_, Traits::None()); }
  void Reset(Type handle = Traits::None()) {
    if (handle_ != Traits::None()) Traits::Close(handle_);
    handle_ = handle;
  }

 private:
  Type handle_ = Traits::None();
};

struct KernelHandleTraits {  // processes, threads, events: NULL on failure
  using Type = HANDLE;
  static Type None() { return nullptr; }
  static void Close(Type h) { ::CloseHandle(h); }
};
struct FileHandleTraits {  // CreateFileW: INVALID_HANDLE_VALUE on failure
  using Type = HANDLE;
  static Type None() { return INVALID_HANDLE_VALUE; }
  static void Close(Type h) { ::CloseHandle(h); }
};
struct FindHandleTraits {
  using Type = HANDLE;
  static Type None() { return INVALID_HANDLE_VALUE; }
  static void Close(Type h) { ::FindClose(h); }
};
struct RegKeyTraits {
  using Type = HKEY;
  static Type None() { return nullptr; }
  static void Close(Type h) { ::RegCloseKey(h); }
};
struct ModuleTraits {
  using Type = HMODULE;
  static Type None() { return nullptr; }
  static void Close(Type h) { ::FreeLibrary(h); }
};
struct WindowTraits {
  using Type = HWND;
  static Type None() { return nullptr; }
  static void Close(Type h) { ::DestroyWindow(h); }
};

using TKernelHandle = TOwnedHandle<KernelHandleTraits>;
using TFileHandle = TOwnedHandle<FileHandleTraits>;
using TFindHandle = TOwnedHandle<FindHandleTraits>;
using TRegKeyHandle = TOwnedHandle<RegKeyTraits>;
using TModuleHandle = TOwnedHandle<ModuleTraits>;
using TWindowHandle = TOwnedHandle<WindowTraits>;

// A COM interface pointer, released when the owner ends.
template <typename T>
class TComPtr {
 public:
  TComPtr() = default;
  ~TComPtr() {
    if (ptr_) ptr_->Release();
  }
  TComPtr(const TComPtr&) = delete;
  TComPtr& operator=(const TComPtr&) = delete;

  T* Get() const { return ptr_; }
  T* operator->() const { return ptr_; }
  T** Put() {
    if (ptr_) ptr_->Release();
    ptr_ = nullptr;
    return &ptr_;
  }
  explicit operator bool() const { return ptr_ != nullptr; }

 private:
  T* ptr_ = nullptr;
};

// COM for the calling thread for the life of the scope. Shell links are made on the worker
// thread, which nobody else initialises; a thread that already runs COM in another model is
// used as it is.
class TComScope {
 public:
  TComScope() : hr_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~TComScope() {
    if (SUCCEEDED(hr_)) ::CoUninitialize();
  }
  TComScope(const TComScope&) = delete;
  TComScope& operator=(const TComScope&) = delete;

 private:
  HRESULT hr_;
};

}  // namespace nolu
