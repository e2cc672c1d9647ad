#include "base/file_stream.h"

#include <fcntl.h>

#include <cerrno>
#include <cstring>

#include "base/errors.h"
#include "base/format.h"

#ifdef _WIN32
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

namespace nolu {
namespace {

// A file that must not exist yet: the C runtime's modes cannot say so, its descriptors can.
std::FILE* CreateNewForAppending(const String& path) {
#ifdef _WIN32
  const int fd = _wsopen(reinterpret_cast<const wchar_t*>(path.c_str()),
                         _O_WRONLY | _O_CREAT | _O_EXCL | _O_APPEND | _O_BINARY, _SH_DENYNO,
                         _S_IREAD | _S_IWRITE);
  if (fd < 0) return nullptr;
  std::FILE* file = _fdopen(fd, "ab");
  if (!file) _close(fd);
#else
  const int fd = open(StringToUtf8(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND, 0666);
  if (fd < 0) return nullptr;
  std::FILE* file = fdopen(fd, "ab");
  if (!file) close(fd);
#endif
  return file;
}

std::FILE* OpenFile(const String& path, FileMode mode) {
  if (mode == FileMode::kAppendNew) return CreateNewForAppending(path);
#ifdef _WIN32
  const wchar_t* how = mode == FileMode::kOpenRead        ? L"rb"
                       : mode == FileMode::kOpenReadWrite ? L"r+b"
                       : mode == FileMode::kAppend        ? L"ab"
                                                          : L"w+b";
  return _wfsopen(reinterpret_cast<const wchar_t*>(path.c_str()), how, _SH_DENYNO);
#else
  const char* how = mode == FileMode::kOpenRead        ? "rb"
                    : mode == FileMode::kOpenReadWrite ? "r+b"
                    : mode == FileMode::kAppend        ? "ab"
                                                       : "w+b";
  return std::fopen(StringToUtf8(path).c_str(), how);
#endif
}

}  // namespace

TFileStream::TFileStream(const String& path, FileMode mode) : path_(path) {
  file_ = OpenFile(path, mode);
  if (!file_) {
    const String reason = Utf8ToString(std::strerror(errno));
    throw EFOpenError(Format(mode == FileMode::kCreate || mode == FileMode::kAppendNew
                                 ? u"Cannot create file \"%s\". %s"
                                 : u"Cannot open file \"%s\". %s",
                             {path, reason}));
  }
  // Buffering is the business of TBufferedStream; a second buffer would only copy twice.
  std::setvbuf(file_, nullptr, _IONBF, 0);
}

TFileStream::~TFileStream() {
  if (file_) std::fclose(file_);
}

size_t TFileStream::Read(void* buffer, size_t count) {
  if (count == 0) return 0;
  const size_t got = std::fread(buffer, 1, count, file_);
  // A failing disk must not pass for the end of the file: a backup or a package would be
  // cut short without a word.
  if (got < count && std::ferror(file_)) {
    const String reason = Utf8ToString(std::strerror(errno));
    std::clearerr(file_);
    throw EStreamError(Format(u"Cannot read file \"%s\". %s", {path_, reason}));
  }
  return got;
}

size_t TFileStream::Write(const void* buffer, size_t count) {
  return count ? std::fwrite(buffer, 1, count, file_) : 0;
}

int64_t TFileStream::Seek(int64_t offset, SeekOrigin origin) {
  const int whence = origin == SeekOrigin::kBegin     ? SEEK_SET
                     : origin == SeekOrigin::kCurrent ? SEEK_CUR
                                                      : SEEK_END;
#ifdef _WIN32
  if (_fseeki64(file_, offset, whence) != 0) throw EStreamError(u"Stream seek error");
  return _ftelli64(file_);
#else
  if (fseeko(file_, offset, whence) != 0) throw EStreamError(u"Stream seek error");
  return ftello(file_);
#endif
}

void TFileStream::SetSize(int64_t size) {
  std::fflush(file_);
#ifdef _WIN32
  const bool ok = _chsize_s(_fileno(file_), size) == 0;
#else
  const bool ok = ftruncate(fileno(file_), size) == 0;
#endif
  if (!ok) throw EStreamError(u"Stream size error");
  if (Position() > size) Seek(size, SeekOrigin::kBegin);
}

void TFileStream::Flush() {
  std::fflush(file_);
}

}  // namespace nolu
