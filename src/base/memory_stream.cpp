#include "base/memory_stream.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "base/errors.h"

namespace nolu {

size_t TMemoryStream::Read(void* buffer, size_t count) {
  if (count == 0 || position_ >= data_.size()) return 0;
  const size_t n = std::min(count, data_.size() - position_);
  std::memcpy(buffer, data_.data() + position_, n);
  position_ += n;
  return n;
}

size_t TMemoryStream::Write(const void* buffer, size_t count) {
  if (count == 0) return 0;
  const size_t end = position_ + count;
  if (end > data_.size()) {
    // Geometric growth keeps appending linear even when a caller did not Reserve.
    if (end > data_.capacity()) data_.reserve(std::max(end, data_.capacity() * 2));
    data_.resize(end);
  }
  std::memcpy(data_.data() + position_, buffer, count);
  position_ = end;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, SeekOrigin origin) {
  int64_t base = 0;
  if (origin == SeekOrigin::kCurrent) base = static_cast<int64_t>(position_);
  if (origin == SeekOrigin::kEnd) base = static_cast<int64_t>(data_.size());
  const int64_t target = base + offset;
  if (target < 0) throw EStreamError(u"Stream seek error");
  position_ = static_cast<size_t>(target);
  return target;
}

void TMemoryStream::SetSize(int64_t size) {
  if (size < 0) throw EStreamError(u"Stream size error");
  data_.resize(static_cast<size_t>(size));
  position_ = std::min(position_, data_.size());
}

std::vector<uint8_t> TMemoryStream::TakeBytes() {
  position_ = 0;
  return std::exchange(data_, {});
}

}  // namespace nolu
