// TReadOnlyMemoryStream: reads bytes that someone else owns (a resource of the running
// program, a buffer of a test) without copying them. The bytes must outlive the stream.
#pragma once

#include <span>

#include "base/stream.h"

namespace nolu {

class TReadOnlyMemoryStream : public TStream {
 public:
  explicit TReadOnlyMemoryStream(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  size_t Read(void* buffer, size_t count) override;
  // Raises EWriteError: the bytes are not ours to change.
  size_t Write(const void* buffer, size_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }
  void SetSize(int64_t size) override;

 private:
  std::span<const uint8_t> bytes_;
  size_t position_ = 0;
};

}  // namespace nolu
