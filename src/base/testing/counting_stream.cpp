#include "base/testing/counting_stream.h"

#include <algorithm>

#include "base/errors.h"

namespace nolu::testing {

size_t TCountingStream::Read(void*, size_t) {
  return 0;
}

size_t TCountingStream::Write(const void* buffer, size_t count) {
  if (fail_at_ && count_ + count > *fail_at_) return 0;
  largest_write_ = std::max(largest_write_, count);
  const auto* bytes = static_cast<const uint8_t*>(buffer);
  if (count_ + count > keep_from_) {
    const uint64_t skip = keep_from_ > count_ ? keep_from_ - count_ : 0;
    kept_.insert(kept_.end(), bytes + skip, bytes + count);
  }
  count_ += count;
  return count;
}

// Only the current position can be asked for: the stream exists to be appended to.
int64_t TCountingStream::Seek(int64_t offset, SeekOrigin origin) {
  const int64_t end = static_cast<int64_t>(count_);
  if (offset != (origin == SeekOrigin::kBegin ? end : 0)) {
    throw EStreamError(u"Stream does not support seeking");
  }
  return end;
}

void TCountingStream::SetSize(int64_t) {
  throw EStreamError(u"Stream does not support sizing");
}

}  // namespace nolu::testing
