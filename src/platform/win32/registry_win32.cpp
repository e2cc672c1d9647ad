#include "platform/win32/registry_win32.h"

#include <windows.h>

#include "platform/error_codes.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_strings.h"

namespace nolu {
namespace {

HKEY RootHandle(RegRoot root) {
  switch (root) {
    case RegRoot::kLocalMachine:
      return HKEY_LOCAL_MACHINE;
    case RegRoot::kCurrentUser:
      return HKEY_CURRENT_USER;
    case RegRoot::kUsers:
      return HKEY_USERS;
  }
  return HKEY_LOCAL_MACHINE;
}

REGSAM ViewFlag(RegView view) {
  switch (view) {
    case RegView::k32:
      return KEY_WOW64_32KEY;
    case RegView::k64:
      return KEY_WOW64_64KEY;
    case RegView::kDefault:
      return 0;
  }
  return 0;
}

// The path without leading and trailing backslashes, as the Reg* functions want it.
String KeyPath(const TRegKey& key) {
  size_t start = key.Path.find_first_not_of(u'\\');
  if (start == String::npos) return String();
  size_t end = key.Path.find_last_not_of(u'\\');
  return key.Path.substr(start, end - start + 1);
}

uint32_t Open(const TRegKey& key, REGSAM access, TRegKeyHandle& out) {
  HKEY handle = nullptr;
  const String path = KeyPath(key);
  const LSTATUS status =
      ::RegOpenKeyExW(RootHandle(key.Root), W(path), 0, access | ViewFlag(key.View), &handle);
  out.Reset(status == ERROR_SUCCESS ? handle : nullptr);
  return static_cast<uint32_t>(status);
}

}  // namespace

bool TWin32Registry::KeyExists(const TRegKey& key) {
  TRegKeyHandle handle;
  return Open(key, KEY_READ, handle) == kErrorSuccess;
}

uint32_t TWin32Registry::CreateKey(const TRegKey& key) {
  HKEY handle = nullptr;
  const String path = KeyPath(key);
  const LSTATUS status =
      ::RegCreateKeyExW(RootHandle(key.Root), W(path), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_WRITE | ViewFlag(key.View), nullptr, &handle, nullptr);
  TRegKeyHandle owned(status == ERROR_SUCCESS ? handle : nullptr);
  return static_cast<uint32_t>(status);
}

uint32_t TWin32Registry::DeleteKey(const TRegKey& key) {
  const String path = KeyPath(key);
  if (path.empty()) return kErrorAccessDenied;
  return static_cast<uint32_t>(
      ::RegDeleteKeyExW(RootHandle(key.Root), W(path), ViewFlag(key.View), 0));
}

uint32_t TWin32Registry::EnumSubKeys(const TRegKey& key, StringList& names) {
  names.clear();
  TRegKeyHandle handle;
  if (uint32_t e = Open(key, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE, handle)) return e;
  // Key names are at most 255 characters.
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = 256;
    const LSTATUS status =
        ::RegEnumKeyExW(handle.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) return kErrorSuccess;
    if (status != ERROR_SUCCESS) return static_cast<uint32_t>(status);
    names.push_back(FromW(name, length));
  }
}

uint32_t TWin32Registry::EnumValueNames(const TRegKey& key, StringList& names) {
  names.clear();
  TRegKeyHandle handle;
  if (uint32_t e = Open(key, KEY_QUERY_VALUE, handle)) return e;
  // Value names are at most 16383 characters.
  std::wstring name(16384, L'\0');
  for (DWORD i = 0;; ++i) {
    DWORD length = static_cast<DWORD>(name.size());
    const LSTATUS status =
        ::RegEnumValueW(handle.Get(), i, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) return kErrorSuccess;
    if (status != ERROR_SUCCESS) return static_cast<uint32_t>(status);
    names.push_back(FromW(name.data(), length));
  }
}

uint32_t TWin32Registry::ReadValue(const TRegKey& key, StringView name, TRegValue& value) {
  TRegKeyHandle handle;
  if (uint32_t e = Open(key, KEY_QUERY_VALUE, handle)) return e;
  const String value_name(name);
  DWORD type = 0, size = 0;
  LSTATUS status = ::RegQueryValueExW(handle.Get(), W(value_name), nullptr, &type, nullptr, &size);
  // The value may grow between the two calls; ask again until it fits.
  while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
    value.Data.resize(size);
    status = ::RegQueryValueExW(handle.Get(), W(value_name), nullptr, &type,
                                size ? value.Data.data() : nullptr, &size);
    if (status == ERROR_SUCCESS) {
      value.Data.resize(size);
      value.Type = type;
      return kErrorSuccess;
    }
  }
  return static_cast<uint32_t>(status);
}

uint32_t TWin32Registry::WriteValue(const TRegKey& key, StringView name, const TRegValue& value) {
  TRegKeyHandle handle;
  if (uint32_t e = Open(key, KEY_SET_VALUE, handle)) return e;
  const String value_name(name);
  return static_cast<uint32_t>(::RegSetValueExW(handle.Get(), W(value_name), 0, value.Type,
                                                value.Data.data(),
                                                static_cast<DWORD>(value.Data.size())));
}

uint32_t TWin32Registry::DeleteValue(const TRegKey& key, StringView name) {
  TRegKeyHandle handle;
  if (uint32_t e = Open(key, KEY_SET_VALUE, handle)) return e;
  const String value_name(name);
  return static_cast<uint32_t>(::RegDeleteValueW(handle.Get(), W(value_name)));
}

}  // namespace nolu
