// TBufferedStream: a read/write buffer (256 KiB by default) in front of another stream, so
// that byte-sized reads and writes of parsers and writers do not reach the file system one by
// one. TBufferedFileStream is the usual pairing with a TFileStream.
#pragma once

#include <memory>
#include <vector>

#include "base/file_stream.h"
#include "base/stream.h"

namespace nolu {

class TBufferedStream : public TStream {
 public:
  static constexpr size_t kDefaultBufferSize = 256 * 1024;

  explicit TBufferedStream(std::unique_ptr<TStream> inner, size_t buffer_size = kDefaultBufferSize);
  // Writes pending data; errors at this point cannot be reported, so call Flush first when
  // the outcome matters.
  ~TBufferedStream() override;

  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override;
  void SetSize(int64_t size) override;
  // Writes pending data through and flushes the inner stream; raises EWriteError when the
  // inner stream accepts fewer bytes.
  void Flush() override;

  TStream& Inner() { return *inner_; }

 private:
  void FlushWrites();
  // Drops read-ahead and moves the inner stream back to the logical position.
  void DropReadAhead();

  std::unique_ptr<TStream> inner_;
  std::vector<uint8_t> buffer_;
  size_t read_pos_ = 0;   // next byte to deliver from buffer_[0, read_end_)
  size_t read_end_ = 0;   // bytes of read-ahead in the buffer
  size_t write_len_ = 0;  // pending bytes to write, in buffer_[0, write_len_)
};

class TBufferedFileStream : public TBufferedStream {
 public:
  TBufferedFileStream(const String& path, FileMode mode, size_t buffer_size = kDefaultBufferSize)
      : TBufferedStream(std::make_unique<TFileStream>(path, mode), buffer_size) {}
};

}  // namespace nolu
