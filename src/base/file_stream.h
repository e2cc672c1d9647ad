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
  kCreateNew,      // created, read and write; fails when the name exists (a link too)
  kAppend,         // opened or created; every write goes to the end, also when other handles
                   // (other processes) append to the same file; others may read and write it
  kAppendNew,      // as kAppend, but the file must not exist yet (created exclusively)
  // Existing file, read only; while it is open nobody may write, rename or delete it (a copy
  // that is about to be started stays what was checked). Only the Windows file system can
  // refuse the others: the C runtime of the host opens it as kOpenRead.
  kOpenReadDenyWrite,
};

// The modes that make a new file ("Cannot create file ..." when they fail).
inline bool CreatesFile(FileMode mode) {
  return mode == FileMode::kCreate || mode == FileMode::kCreateNew || mode == FileMode::kAppendNew;
}

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
