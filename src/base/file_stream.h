// TFileStream: an unbuffered stream on a file of the machine's own file system, through the
// C runtime (no Windows API), for the tools and host-side code. The engine opens files through
// the platform layer instead, so that tests can use the in-memory file system.
#pragma once

#include <cstdio>

#include "base/stream.h"
#include "base/text.h"

namespace nolu {

enum class FileMode {
  kOpenRead,       // existing file, read only; other processes may read and write it
  kOpenReadWrite,  // existing file, read and write
  kCreate,         // created or truncated, read and write
  kAppend,         // opened or created; every write goes to the end, also when other handles
                   // (other processes) append to the same file; others may read and write it
  kAppendNew,      // as kAppend, but the file must not exist yet (created exclusively)
};

class TFileStream : public TStream {
 public:
  // Raises EFOpenError ("Cannot open file "%s". %s") when the file cannot be opened.
  TFileStream(const String& path, FileMode mode);
  ~TFileStream() override;

  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  void SetSize(int64_t size) override;
  void Flush() override;

  const String& FileName() const { return path_; }

 private:
  String path_;
  std::FILE* file_ = nullptr;
};

}  // namespace nolu
