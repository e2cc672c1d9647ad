#include "platform/win32/file_system_win32.h"

#include <windows.h>

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
    case FileMode::kOpenReadWrite:
      share = FILE_SHARE_READ;
      disposition = OPEN_EXISTING;
      break;
    case FileMode::kCreate:
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
  return Result(::MoveFileExW(W(SystemPath(source)), W(SystemPath(target)), MOVEFILE_COPY_ALLOWED));
}

uint32_t TWin32FileSystem::MoveOnReboot(StringView source, StringView target) {
  const String to = SystemPath(target);
  return Result(::MoveFileExW(W(SystemPath(source)), target.empty() ? nullptr : W(to),
                              MOVEFILE_DELAY_UNTIL_REBOOT));
}

uint32_t TWin32FileSystem::CreateFolder(StringView path) {
  return Result(::CreateDirectoryW(W(SystemPath(path)), nullptr));
}

uint32_t TWin32FileSystem::RemoveFolder(StringView path) {
  return Result(::RemoveDirectoryW(W(SystemPath(path))));
}

String TWin32FileSystem::TempFolder() {
  return IncludeTrailingBackslash(GrowingBufferCall(
      [](wchar_t* buffer, DWORD size) { return ::GetTempPathW(size, buffer); }, nullptr));
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

String TWin32FileSystem::CurrentFolder() {
  return GrowingBufferCall(
      [](wchar_t* buffer, DWORD size) { return ::GetCurrentDirectoryW(size, buffer); }, nullptr);
}

uint32_t TWin32FileSystem::SetCurrentFolder(StringView path) {
  return Result(::SetCurrentDirectoryW(W(String(path))));
}

}  // namespace nolu
