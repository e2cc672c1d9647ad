// TStream: the byte stream every layer reads and writes through.
//
// Read and Write move up to `count` bytes and return how many were moved (a short count is
// not an error); ReadBuffer and WriteBuffer demand the full count and raise EReadError
// ("Stream read error") or EWriteError otherwise.
#pragma once

#include <cstddef>
#include <cstdint>

namespace nolu {

enum class SeekOrigin { kBegin, kCurrent, kEnd };

class TStream {
 public:
  // Copies move data in chunks of this size (packages, extraction, backups).
  static constexpr size_t kCopyChunk = 1 << 20;

  virtual ~TStream() = default;
  TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;

  virtual size_t Read(void* buffer, size_t count) = 0;
  virtual size_t Write(const void* buffer, size_t count) = 0;
  // Returns the new position. Seeking before the start raises EStreamError.
  virtual int64_t Seek(int64_t offset, SeekOrigin origin) = 0;
  virtual int64_t Size();
  // Truncates or extends the stream; the position is kept unless it lies beyond the new end.
  virtual void SetSize(int64_t size) = 0;
  // Writes buffered data through to the underlying medium (no-op when unbuffered).
  virtual void Flush() {}

  int64_t Position() { return Seek(0, SeekOrigin::kCurrent); }
  void SetPosition(int64_t position) { Seek(position, SeekOrigin::kBegin); }

  void ReadBuffer(void* buffer, size_t count);
  void WriteBuffer(const void* buffer, size_t count);

  // Copies `count` bytes from the source's position to this stream's position, in chunks of
  // `chunk` bytes; raises EReadError when the source ends early. Returns `count`.
  int64_t CopyFrom(TStream& source, int64_t count, size_t chunk = kCopyChunk);
  // Copies everything from the source's position to its end; returns the bytes copied.
  int64_t CopyRemainingFrom(TStream& source, size_t chunk = kCopyChunk);
  // Whether this stream and `other` hold the same bytes from their positions to their ends,
  // sizes first, then the bytes in chunks of `chunk`. Both are read: where they stand
  // afterwards is not said.
  bool SameRemainingContent(TStream& other, size_t chunk = kCopyChunk);
};

}  // namespace nolu
