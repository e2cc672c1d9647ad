// TCountingStream: a write-only destination that counts what it is given and keeps only a
// chosen part of it, so that tests can write archives of many gigabytes and still inspect
// their ends.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>

#include "base/stream.h"
#include "base/text.h"

namespace nolu::testing {

class TCountingStream : public TStream {
 public:
  static constexpr uint64_t kKeepNothing = std::numeric_limits<uint64_t>::max();

  // Keeps the bytes written at positions from `keep_from` on (everything by default).
  explicit TCountingStream(uint64_t keep_from = 0) : keep_from_(keep_from) {}

  // Writes that would pass this position are refused (Write returns 0), as on a full disk.
  void SetFailAt(uint64_t position) { fail_at_ = position; }

  uint64_t Count() const { return count_; }
  size_t LargestWrite() const { return largest_write_; }
  size_t Flushes() const { return flushes_; }
  // The bytes kept, from position KeepFrom() on.
  const Bytes& Kept() const { return kept_; }
  uint64_t KeepFrom() const { return keep_from_; }

  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  void SetSize(int64_t size) override;
  void Flush() override { ++flushes_; }

 private:
  uint64_t keep_from_;
  uint64_t count_ = 0;
  size_t largest_write_ = 0;
  size_t flushes_ = 0;
  std::optional<uint64_t> fail_at_;
  Bytes kept_;
};

}  // namespace nolu::testing
