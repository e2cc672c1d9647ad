#include "platform/win32/file_system_win32.h"

#include <windows.h>
// After <windows.h>:
#include <aclapi.h>
#include <sddl.h>

#include <algorithm>

#include "base/errors.h"
#include "base/path.h"
#include "platform/error_codes.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_strings.h"

namespace nolu {
namespace {

uint32_t Result(BOOL ok) {
  return ok ? kErrorSuccess : ::GetLastError();
}

// A file opened with CreateFileW. Failures raise EOSError with the system's text and the path.
class TWin32FileStream : public TStream {
 public:
  TWin32FileStream(TFileHandle handle, String path)
      : handle_(std::move(handle)), path_(std::move(path)) {}

  size_t Read(void* buffer, size_t count) override {
    auto* out = static_cast<uint8_t*>(buffer);
    size_t done = 0;
    while (done < count) {
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(count - done, 1u << 30));
      DWORD read = 0;
      if (!::ReadFile(handle_.Get(), out + done, chunk, &read, nullptr)) Fail();
      if (read == 0) break;
      done += read;
    }
    return done;
  }

  size_t Write(const void* buffer, size_t count) override {
    const auto* in = static_cast<const uint8_t*>(buffer);
    size_t done = 0;
    while (done < count) {
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(count - done, 1u << 30));
      DWORD written = 0;
      if (!::WriteFile(handle_.Get(), in + done, chunk, &written, nullptr)) Fail();
      if (written == 0) break;
      done += written;
    }
    return done;
  }

  int64_t Seek(int64_t offset, SeekOrigin origin) override {
    const DWORD method = origin == SeekOrigin::kBegin     ? FILE_BEGIN
                         : origin == SeekOrigin::kCurrent ? FILE_CURRENT
                                                          : FILE_END;
    LARGE_INTEGER distance, position;
    distance.QuadPart = offset;
    if (!::SetFilePointerEx(handle_.Get(), distance, &position, method)) {
      throw EStreamError(u"Stream seek error");
    }
    return position.QuadPart;
  }

  int64_t Size() override {
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(handle_.Get(), &size)) Fail();
    return size.QuadPart;
  }

  void SetSize(int64_t size) override {
    const int64_t position = Position();
    Seek(size, SeekOrigin::kBegin);
    if (!::SetEndOfFile(handle_.Get())) Fail();
    Seek(std::min(position, size), SeekOrigin::kBegin);
  }

 private:
  [[noreturn]] void Fail() {
    const DWORD code = ::GetLastError();
    throw EOSError(code, Win32ErrorText(code), path_);
  }

  TFileHandle handle_;
  String path_;
};

// A folder opened for listing, shared for reading and writing but not for deletion: while the
// handle is open nobody can rename, move or delete the folder.
class TWin32HeldFolder : public THeldFolder {
 public:
  explicit TWin32HeldFolder(TFileHandle handle) : handle_(std::move(handle)) {}

 private:
  TFileHandle handle_;
};

// The access lists as security descriptor strings. Generic rights are spelt out: a list that
// is read back shows the file rights, and the two must compare equal.
const wchar_t* SddlOf(TFolderAccess access) {
  switch (access) {
    case TFolderAccess::kInherited:
      break;
    case TFolderAccess::kAdministrators:
      return L"D:P(A;OICI;0x1f01ff;;;SY)(A;OICI;0x1f01ff;;;BA)";
    case TFolderAccess::kProgramFiles:
      return L"D:P(A;OICI;0x1f01ff;;;SY)(A;OICI;0x1f01ff;;;BA)(A;OICI;0x1200a9;;;BU)";
  }
  return nullptr;
}

// A security descriptor made from SDDL, freed with LocalFree.
class TSecurityDescriptor {
 public:
  explicit TSecurityDescriptor(const wchar_t* sddl) {
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd_,
                                                                nullptr)) {
      error_ = ::GetLastError();
      sd_ = nullptr;
    }
  }
  ~TSecurityDescriptor() { ::LocalFree(sd_); }
  TSecurityDescriptor(const TSecurityDescriptor&) = delete;
  TSecurityDescriptor& operator=(const TSecurityDescriptor&) = delete;

  PSECURITY_DESCRIPTOR Get() const { return sd_; }
  uint32_t Error() const { return error_; }
  PACL Dacl() const {
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    ::GetSecurityDescriptorDacl(sd_, &present, &dacl, &defaulted);
    return present ? dacl : nullptr;
  }

 private:
  PSECURITY_DESCRIPTOR sd_ = nullptr;
  uint32_t error_ = kErrorSuccess;
};

// The handle functions want a folder without its trailing backslash, except a drive's root.
String FolderHandlePath(StringView path) {
  String folder(path);
  while (folder.size() > 3 && folder.back() == u'\\')
    folder.pop_back();
  return SystemPath(folder);
}

}  // namespace

uint32_t TWin32FileSystem::Attributes(StringView path) {
  return ::GetFileAttributesW(W(SystemPath(path)));
}

uint32_t TWin32FileSystem::ListFolder(StringView folder, std::vector<TFileEntry>& entries) {
  entries.clear();
  const uint32_t attributes = Attributes(folder);
  if (attributes == kInvalidAttributes) {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? kErrorPathNotFound : error;
  }
  if (!(attributes & kAttrDirectory)) return kErrorDirectory;
  const String pattern = SystemPath(IncludeTrailingBackslash(folder) + u"*");
  WIN32_FIND_DATAW data;
  TFindHandle find(::FindFirstFileExW(W(pattern), FindExInfoBasic, &data, FindExSearchNameMatch,
                                      nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (!find) {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? kErrorSuccess : error;  // nothing at all
  }
  do {
    const String name = FromW(data.cFileName);
    if (name == u"." || name == u"..") continue;
    const bool is_folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entries.push_back({name, data.dwFileAttributes,
                       is_folder ? 0 : (uint64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow)});
  } while (::FindNextFileW(find.Get(), &data));
  const DWORD error = ::GetLastError();
  if (error != ERROR_NO_MORE_FILES) {
    entries.clear();
    return error;
  }
  return kErrorSuccess;
}

TOpenResult TWin32FileSystem::OpenFile(StringView path, FileMode mode) {
  DWORD access = GENERIC_READ | GENERIC_WRITE, share = 0, disposition = CREATE_ALWAYS;
  switch (mode) {
    case FileMode::kOpenRead:
      access = GENERIC_READ;
      share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
      disposition = OPEN_EXISTING;
      break;
    case FileMode::kOpenReadDenyWrite:
      access = GENERIC_READ;
      share = FILE_SHARE_READ;
      disposition = OPEN_EXISTING;
      break;
    case FileMode::kOpenReadWrite:
      share = FILE_SHARE_READ;
      disposition = OPEN_EXISTING;
      break;
    case FileMode::kCreate:
      break;
    case FileMode::kCreateNew:
      // CREATE_NEW also fails on a link left at the name: nothing is written through it.
      disposition = CREATE_NEW;
      break;
    case FileMode::kAppend:
    case FileMode::kAppendNew:
      // Append data only (no FILE_WRITE_DATA): the system then puts every write at the end of
      // the file, atomically, whatever other handles write in between.
      access = FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
      share = FILE_SHARE_READ | FILE_SHARE_WRITE;
      disposition = mode == FileMode::kAppend ? OPEN_ALWAYS : CREATE_NEW;
      break;
  }
  TOpenResult result;
  TFileHandle handle(::CreateFileW(W(SystemPath(path)), access, share, nullptr, disposition,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) {
    result.Error = ::GetLastError();
    return result;
  }
  result.Stream = std::make_unique<TWin32FileStream>(std::move(handle), String(path));
  return result;
}

uint32_t TWin32FileSystem::SetAttributes(StringView path, uint32_t attributes) {
  return Result(::SetFileAttributesW(W(SystemPath(path)), attributes ? attributes : kAttrNormal));
}

uint32_t TWin32FileSystem::Delete(StringView path) {
  return Result(::DeleteFileW(W(SystemPath(path))));
}

uint32_t TWin32FileSystem::Copy(StringView source, StringView target, bool fail_if_exists) {
  return Result(::CopyFileW(W(SystemPath(source)), W(SystemPath(target)), fail_if_exists));
}

uint32_t TWin32FileSystem::Move(StringView source, StringView target) {
  return Result(::MoveFileExW(W(SystemPath(source)), W(SystemPath(target)), 0));
}

uint32_t TWin32FileSystem::Replace(StringView source, StringView target) {
  return Result(::MoveFileExW(W(SystemPath(source)), W(SystemPath(target)),
                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
}

uint32_t TWin32FileSystem::MoveOnReboot(StringView source, StringView target) {
  const String to = SystemPath(target);
  return Result(::MoveFileExW(W(SystemPath(source)), target.empty() ? nullptr : W(to),
                              MOVEFILE_DELAY_UNTIL_REBOOT));
}

uint32_t TWin32FileSystem::CreateFolder(StringView path, TFolderAccess access) {
  if (access == TFolderAccess::kInherited) {
    return Result(::CreateDirectoryW(W(SystemPath(path)), nullptr));
  }
  const TSecurityDescriptor sd(SddlOf(access));
  if (!sd.Get()) return sd.Error();
  SECURITY_ATTRIBUTES attributes{sizeof(attributes), sd.Get(), FALSE};
  return Result(::CreateDirectoryW(W(SystemPath(path)), &attributes));
}

uint32_t TWin32FileSystem::RemoveFolder(StringView path) {
  return Result(::RemoveDirectoryW(W(SystemPath(path))));
}

uint32_t TWin32FileSystem::HoldFolder(StringView path, std::unique_ptr<THeldFolder>& held) {
  const String folder = FolderHandlePath(path);
  // Listing access takes part in the sharing checks (attribute access alone would not), and
  // without FILE_SHARE_DELETE every rename, move or deletion of the folder is refused.
  TFileHandle handle(
      ::CreateFileW(W(folder), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!handle) return ::GetLastError();
  FILE_ATTRIBUTE_TAG_INFO info{};
  if (!::GetFileInformationByHandleEx(handle.Get(), FileAttributeTagInfo, &info, sizeof(info))) {
    return ::GetLastError();
  }
  // Wine opens a symbolic link's target despite FILE_FLAG_OPEN_REPARSE_POINT, but the path's
  // own attributes still name the link; on Windows both say the same.
  const DWORD by_path = ::GetFileAttributesW(W(folder));
  if (by_path == INVALID_FILE_ATTRIBUTES) return ::GetLastError();
  if ((info.FileAttributes | by_path) & FILE_ATTRIBUTE_REPARSE_POINT) return kErrorReparsePoint;
  if (!(info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return kErrorDirectory;
  held = std::make_unique<TWin32HeldFolder>(std::move(handle));
  return kErrorSuccess;
}

uint32_t TWin32FileSystem::SetFolderAccess(StringView path, TFolderAccess access) {
  const String folder = FolderHandlePath(path);
  if (access == TFolderAccess::kInherited) {
    // An empty list that is not protected: only what the parent passes on remains.
    ACL empty{};
    if (!::InitializeAcl(&empty, sizeof(empty), ACL_REVISION)) return ::GetLastError();
    return ::SetNamedSecurityInfoW(
        const_cast<wchar_t*>(W(folder)), SE_FILE_OBJECT,
        DACL_SECURITY_INFORMATION | UNPROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr, &empty,
        nullptr);
  }
  const TSecurityDescriptor sd(SddlOf(access));
  if (!sd.Get()) return sd.Error();
  return ::SetNamedSecurityInfoW(const_cast<wchar_t*>(W(folder)), SE_FILE_OBJECT,
                                 DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                 nullptr, nullptr, sd.Dacl(), nullptr);
}

uint32_t TWin32FileSystem::ReadAccessList(StringView path, TAccessList& list) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR sd = nullptr;
  const String target = FolderHandlePath(path);
  const DWORD error = ::GetNamedSecurityInfoW(W(target), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                              nullptr, nullptr, &dacl, nullptr, &sd);
  if (error != ERROR_SUCCESS) return error;
  list = {};
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  if (::GetSecurityDescriptorControl(sd, &control, &revision)) {
    list.Protected = (control & SE_DACL_PROTECTED) != 0;
  }
  for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    if (!::GetAce(dacl, i, &ace)) continue;
    const auto* header = static_cast<const ACE_HEADER*>(ace);
    if (header->AceType != ACCESS_ALLOWED_ACE_TYPE && header->AceType != ACCESS_DENIED_ACE_TYPE) {
      continue;  // object and audit entries do not occur on files
    }
    // Both kinds share one layout: header, mask, then the security identifier.
    const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
    wchar_t* sid_text = nullptr;
    if (!::ConvertSidToStringSidW(const_cast<DWORD*>(&allowed->SidStart), &sid_text)) continue;
    list.Entries.push_back({FromW(sid_text), allowed->Mask, header->AceFlags,
                            header->AceType == ACCESS_ALLOWED_ACE_TYPE});
    ::LocalFree(sid_text);
  }
  ::LocalFree(sd);
  return kErrorSuccess;
}

String TWin32FileSystem::TempFolder() {
  // GetTempPath2W (Windows 11, and Windows 10 with the updates of 2022) gives a process of
  // SYSTEM "C:\Windows\SystemTemp\", which others cannot write, instead of the shared
  // "C:\Windows\Temp\"; for everyone else it is GetTempPathW.
  using TempPathFn = DWORD(WINAPI*)(DWORD, LPWSTR);
  TempPathFn temp_path = reinterpret_cast<TempPathFn>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetTempPath2W")));
  if (!temp_path) temp_path = &::GetTempPathW;
  return IncludeTrailingBackslash(GrowingBufferCall(
      [temp_path](wchar_t* buffer, DWORD size) { return temp_path(size, buffer); }, nullptr));
}

uint32_t TWin32FileSystem::TempFileName(StringView folder, StringView prefix, String& path) {
  // The function writes at most MAX_PATH characters; the folder may be longer only with the
  // extended prefix, which it accepts.
  String buffer(MAX_PATH + 1, u'\0');
  const String dir = SystemPath(folder);
  const String stem(prefix);
  if (!::GetTempFileNameW(W(dir), W(stem), 0, reinterpret_cast<wchar_t*>(buffer.data()))) {
    return ::GetLastError();
  }
  path = FromW(reinterpret_cast<const wchar_t*>(buffer.c_str()));
  return kErrorSuccess;
}

uint32_t TWin32FileSystem::FullPathName(StringView path, String& full) {
  const String text(path);
  uint32_t error = kErrorSuccess;
  full = GrowingBufferCall(
      [&](wchar_t* buffer, DWORD size) {
        return ::GetFullPathNameW(W(text), size, buffer, nullptr);
      },
      &error);
  return error;
}

uint32_t TWin32FileSystem::LongPathName(StringView path, String& long_path) {
  const String text = SystemPath(path);
  uint32_t error = kErrorSuccess;
  String result = GrowingBufferCall(
      [&](wchar_t* buffer, DWORD size) { return ::GetLongPathNameW(W(text), buffer, size); },
      &error);
  if (error != kErrorSuccess) return error;
  // Hand back the form the caller gave: without the prefix this layer added.
  if (!StartsWith(path, u"\\\\?\\")) {
    if (StartsWith(result, u"\\\\?\\UNC\\")) {
      result = u"\\\\" + result.substr(8);
    } else if (StartsWith(result, u"\\\\?\\")) {
      result = result.substr(4);
    }
  }
  long_path = std::move(result);
  return kErrorSuccess;
}

uint32_t TWin32FileSystem::FinalPathName(StringView path, String& final_path) {
  // No access asked: the handle only names the file; backup semantics open folders too.
  TFileHandle handle(::CreateFileW(W(SystemPath(path)), 0,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!handle) return ::GetLastError();
  uint32_t error = kErrorSuccess;
  String result = GrowingBufferCall(
      [&](wchar_t* buffer, DWORD size) {
        return ::GetFinalPathNameByHandleW(handle.Get(), buffer, size,
                                           FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
      },
      &error);
  if (error != kErrorSuccess) return error;
  result = WithoutExtendedLengthPrefix(result);
  if (EndsWith(path, u"\\")) result = IncludeTrailingBackslash(result);
  final_path = std::move(result);
  return kErrorSuccess;
}

String TWin32FileSystem::CurrentFolder() {
  return GrowingBufferCall(
      [](wchar_t* buffer, DWORD size) { return ::GetCurrentDirectoryW(size, buffer); }, nullptr);
}

uint32_t TWin32FileSystem::SetCurrentFolder(StringView path) {
  return Result(::SetCurrentDirectoryW(W(String(path))));
}

}  // namespace nolu
