#include "base/testing/synthetic_stream.h"

#include <algorithm>
#include <cstring>

#include "base/errors.h"

namespace nolu::testing {
namespace {

// A 64-bit mix of the position: every byte depends on where it stands, so no run repeats.
uint64_t Mix(uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

}  // namespace

TSyntheticStream::TSyntheticStream(uint64_t length, SyntheticData data)
    : length_(length), data_(data) {
  for (size_t i = 0; i < sizeof block_; i += 8) {
    const uint64_t word = Mix(i + 0x1234);
    std::memcpy(block_ + i, &word, 8);
  }
}

uint8_t TSyntheticStream::ByteAt(uint64_t position) const {
  switch (data_) {
    case SyntheticData::kZeros:
      return 0;
    case SyntheticData::kRepeatedBlock:
      return block_[position % sizeof block_];
    case SyntheticData::kNoise:
      break;
  }
  return static_cast<uint8_t>(Mix(position / 8) >> (8 * (position % 8)));
}

size_t TSyntheticStream::Read(void* buffer, size_t count) {
  largest_read_ = std::max(largest_read_, count);
  const size_t n = static_cast<size_t>(std::min<uint64_t>(count, length_ - position_));
  if (fail_at_ && position_ + n > *fail_at_) throw EReadError();
  auto* out = static_cast<uint8_t*>(buffer);
  switch (data_) {
    case SyntheticData::kZeros:
      std::memset(out, 0, n);
      break;
    case SyntheticData::kRepeatedBlock:
      for (size_t done = 0; done < n;) {
        const size_t at = (position_ + done) % sizeof block_;
        const size_t piece = std::min(n - done, sizeof block_ - at);
        std::memcpy(out + done, block_ + at, piece);
        done += piece;
      }
      break;
    case SyntheticData::kNoise:
      for (size_t i = 0; i < n;) {
        const uint64_t at = position_ + i;
        if (at % 8 == 0 && n - i >= 8) {
          const uint64_t word = Mix(at / 8);
          std::memcpy(out + i, &word, 8);
          i += 8;
        } else {
          out[i++] = ByteAt(at);
        }
      }
      break;
  }
  position_ += n;
  if (read_hook_) read_hook_(position_);
  return n;
}

size_t TSyntheticStream::Write(const void*, size_t) {
  return 0;
}

int64_t TSyntheticStream::Seek(int64_t offset, SeekOrigin origin) {
  if (unseekable_) throw EStreamError(u"Stream does not support seeking");
  const int64_t base = origin == SeekOrigin::kBegin     ? 0
                       : origin == SeekOrigin::kCurrent ? static_cast<int64_t>(position_)
                                                        : static_cast<int64_t>(length_);
  const int64_t target = base + offset;
  if (target < 0) throw EStreamError(u"Stream seek error");
  position_ = std::min<uint64_t>(static_cast<uint64_t>(target), length_);
  return static_cast<int64_t>(position_);
}

int64_t TSyntheticStream::Size() {
  if (unseekable_) throw EStreamError(u"Stream does not support seeking");
  return static_cast<int64_t>(reported_size_.value_or(length_));
}

void TSyntheticStream::SetSize(int64_t) {
  throw EStreamError(u"Stream is read-only");
}

Bytes SyntheticBytes(size_t size, SyntheticData data) {
  TSyntheticStream source(size, data);
  Bytes bytes(size);
  source.ReadBuffer(bytes.data(), size);
  return bytes;
}

}  // namespace nolu::testing
