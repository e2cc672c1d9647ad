#include "base/stream.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/errors.h"

namespace nolu {

int64_t TStream::Size() {
  const int64_t position = Position();
  const int64_t size = Seek(0, SeekOrigin::kEnd);
  Seek(position, SeekOrigin::kBegin);
  return size;
}

void TStream::ReadBuffer(void* buffer, size_t count) {
  auto* bytes = static_cast<uint8_t*>(buffer);
  while (count > 0) {
    const size_t got = Read(bytes, count);
    if (got == 0) throw EReadError();
    bytes += got;
    count -= got;
  }
}

void TStream::WriteBuffer(const void* buffer, size_t count) {
  const auto* bytes = static_cast<const uint8_t*>(buffer);
  while (count > 0) {
    const size_t put = Write(bytes, count);
    if (put == 0) throw EWriteError();
    bytes += put;
    count -= put;
  }
}

int64_t TStream::CopyFrom(TStream& source, int64_t count, size_t chunk) {
  if (count <= 0) return 0;
  std::vector<uint8_t> buffer(static_cast<size_t>(std::min<int64_t>(count, chunk)));
  for (int64_t left = count; left > 0;) {
    const size_t n = static_cast<size_t>(std::min<int64_t>(left, buffer.size()));
    source.ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    left -= n;
  }
  return count;
}

bool TStream::SameRemainingContent(TStream& other, size_t chunk) {
  if (Size() - Position() != other.Size() - other.Position()) return false;
  std::vector<uint8_t> mine(chunk);
  std::vector<uint8_t> theirs(chunk);
  for (;;) {
    const size_t got = Read(mine.data(), mine.size());
    if (got == 0) return other.Read(theirs.data(), 1) == 0;
    if (other.Read(theirs.data(), got) != got) return false;
    if (std::memcmp(mine.data(), theirs.data(), got) != 0) return false;
  }
}

int64_t TStream::CopyRemainingFrom(TStream& source, size_t chunk) {
  std::vector<uint8_t> buffer(chunk);
  int64_t total = 0;
  for (size_t got; (got = source.Read(buffer.data(), buffer.size())) > 0; total += got) {
    WriteBuffer(buffer.data(), got);
  }
  return total;
}

}  // namespace nolu
