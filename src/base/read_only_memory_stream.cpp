#include "base/read_only_memory_stream.h"

#include <algorithm>
#include <cstring>

#include "base/errors.h"

namespace nolu {

size_t TReadOnlyMemoryStream::Read(void* buffer, size_t count) {
  if (count == 0 || position_ >= bytes_.size()) return 0;
  const size_t n = std::min(count, bytes_.size() - position_);
  std::memcpy(buffer, bytes_.data() + position_, n);
  position_ += n;
  return n;
}

size_t TReadOnlyMemoryStream::Write(const void*, size_t) {
  throw EWriteError();
}

int64_t TReadOnlyMemoryStream::Seek(int64_t offset, SeekOrigin origin) {
  int64_t base = 0;
  if (origin == SeekOrigin::kCurrent) base = static_cast<int64_t>(position_);
  if (origin == SeekOrigin::kEnd) base = static_cast<int64_t>(bytes_.size());
  const int64_t target = base + offset;
  if (target < 0) throw EStreamError(u"Stream seek error");
  position_ = static_cast<size_t>(target);
  return target;
}

void TReadOnlyMemoryStream::SetSize(int64_t) {
  throw EStreamError(u"Stream size error");
}

}  // namespace nolu
