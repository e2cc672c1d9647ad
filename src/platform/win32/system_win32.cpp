#include "platform/win32/system_win32.h"

#include <rpc.h>
#include <shlobj.h>
#include <windows.h>

#include <cstring>

#include "platform/win32/win32_strings.h"

namespace nolu {

TOsVersion TWin32System::OsVersion() {
  // GetVersionExW reports what the manifest declares; RtlGetVersion reports the truth.
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll")) {
    auto fn = reinterpret_cast<RtlGetVersionFn>(
        reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion")));
    if (fn && fn(&info) == 0) return {info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
  }
  return {};
}

bool TWin32System::IsUserAnAdmin() {
  return ::IsUserAnAdmin() != FALSE;
}

uint16_t TWin32System::UserDefaultUILanguage() {
  return ::GetUserDefaultUILanguage();
}

String TWin32System::SysErrorMessage(uint32_t code) {
  return Win32ErrorText(code);
}

TDateTime TWin32System::LocalTime() {
  SYSTEMTIME t;
  ::GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

String TWin32System::CommandLine() {
  return FromW(::GetCommandLineW());
}

String TWin32System::ModuleFileName() {
  // GetModuleFileNameW truncates silently and returns the buffer size when it does.
  String buffer(MAX_PATH, u'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, reinterpret_cast<wchar_t*>(buffer.data()),
                                         static_cast<DWORD>(buffer.size()));
    if (n == 0) return String();
    if (n < buffer.size()) {
      buffer.resize(n);
      return buffer;
    }
    buffer.resize(buffer.size() * 2);
  }
}

bool TWin32System::IsWine() {
  HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

TGuid TWin32System::CreateGuid() {
  UUID uuid;
  ::UuidCreate(&uuid);
  TGuid guid;
  guid.Data1 = uuid.Data1;
  guid.Data2 = uuid.Data2;
  guid.Data3 = uuid.Data3;
  std::memcpy(guid.Data4.data(), uuid.Data4, 8);
  return guid;
}

String TWin32System::ExpandEnvironmentText(StringView text) {
  const String source(text);
  if (source.empty()) return source;
  String buffer(source.size() + 64, u'\0');
  for (;;) {
    const DWORD n = ::ExpandEnvironmentStringsW(
        W(source), reinterpret_cast<wchar_t*>(buffer.data()), static_cast<DWORD>(buffer.size()));
    if (n == 0) return source;
    if (n <= buffer.size()) {
      buffer.resize(n - 1);  // n counts the terminating zero
      return buffer;
    }
    buffer.resize(n);
  }
}

void TWin32System::Sleep(uint32_t milliseconds) {
  ::Sleep(milliseconds);
}

uint64_t TWin32System::TickCount() {
  return ::GetTickCount64();
}

uint32_t TWin32System::ProcessId() {
  return ::GetCurrentProcessId();
}

}  // namespace nolu
