// TSyntheticStream: a read-only source of any length whose bytes are computed, not stored, so
// that tests can feed gigabytes through a writer without the memory or disk to hold them.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "base/stream.h"
#include "base/text.h"

namespace nolu::testing {

enum class SyntheticData {
  kZeros,
  kRepeatedBlock,  // one 4 KiB block of noise over and over: Deflate shrinks it ~100 times
  kNoise,          // a pseudo-random sequence: Deflate cannot shrink it
};

class TSyntheticStream : public TStream {
 public:
  TSyntheticStream(uint64_t length, SyntheticData data);

  // Size() reports this instead of the true length (a file that grows while it is read).
  void SetReportedSize(uint64_t size) { reported_size_ = size; }
  // Size() and Seek() raise EStreamError, as a pipe would.
  void SetUnseekable() { unseekable_ = true; }
  // A Read that would reach this position raises EReadError instead.
  void SetFailAt(uint64_t position) { fail_at_ = position; }
  // Called after every Read with the number of bytes delivered so far.
  void SetReadHook(std::function<void(uint64_t)> hook) { read_hook_ = std::move(hook); }
  // Largest count a single Read was asked for.
  size_t LargestRead() const { return largest_read_; }

  // The byte at `position`, for checking what a reader extracted.
  uint8_t ByteAt(uint64_t position) const;

  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override;
  void SetSize(int64_t size) override;

 private:
  uint64_t length_;
  SyntheticData data_;
  uint64_t position_ = 0;
  std::optional<uint64_t> reported_size_;
  std::optional<uint64_t> fail_at_;
  bool unseekable_ = false;
  std::function<void(uint64_t)> read_hook_;
  size_t largest_read_ = 0;
  uint8_t block_[4096];
};

// The first `size` bytes of such a source, in memory, for tests of small inputs.
Bytes SyntheticBytes(size_t size, SyntheticData data);

}  // namespace nolu::testing
