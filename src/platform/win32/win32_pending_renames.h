// The Session Manager's pending restart operations ("PendingFileRenameOperations") for Win32
// tests: read them, and put them back as they were when the test ends, since the test prefix
// serves every test that follows.
#pragma once

#include <windows.h>

#include <string>

namespace nolu {

class TWin32PendingRenames {
 public:
  TWin32PendingRenames() { had_ = Read(before_); }
  ~TWin32PendingRenames() {
    HKEY key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    if (had_) {
      ::RegSetValueExW(key, kValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(before_.data()),
                       static_cast<DWORD>(before_.size() * 2));
    } else {
      ::RegDeleteValueW(key, kValue);
    }
    ::RegCloseKey(key);
  }
  TWin32PendingRenames(const TWin32PendingRenames&) = delete;
  TWin32PendingRenames& operator=(const TWin32PendingRenames&) = delete;

  // The value as stored (REG_MULTI_SZ); false when there is none.
  static bool Read(std::wstring& text) {
    DWORD type = 0, size = 0;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, kKey, kValue, RRF_RT_REG_MULTI_SZ, &type, nullptr,
                       &size) != ERROR_SUCCESS) {
      return false;
    }
    text.assign(size / 2, L'\0');
    return ::RegGetValueW(HKEY_LOCAL_MACHINE, kKey, kValue, RRF_RT_REG_MULTI_SZ, &type, text.data(),
                          &size) == ERROR_SUCCESS;
  }

 private:
  static constexpr const wchar_t* kKey = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
  static constexpr const wchar_t* kValue = L"PendingFileRenameOperations";
  std::wstring before_;
  bool had_ = false;
};

}  // namespace nolu
