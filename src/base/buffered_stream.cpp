#include "base/buffered_stream.h"

#include <algorithm>
#include <cstring>

#include "base/errors.h"

namespace nolu {

TBufferedStream::TBufferedStream(std::unique_ptr<TStream> inner, size_t buffer_size)
    : inner_(std::move(inner)), buffer_(std::max<size_t>(buffer_size, 1)) {}

TBufferedStream::~TBufferedStream() {
  try {
    FlushWrites();
  } catch (...) {
    // Best effort: a destructor cannot report; callers that care call Flush.
  }
}

void TBufferedStream::FlushWrites() {
  if (write_len_ == 0) return;
  const size_t pending = write_len_;
  write_len_ = 0;
  inner_->WriteBuffer(buffer_.data(), pending);
}

void TBufferedStream::DropReadAhead() {
  if (read_pos_ < read_end_) {
    inner_->Seek(-static_cast<int64_t>(read_end_ - read_pos_), SeekOrigin::kCurrent);
  }
  read_pos_ = read_end_ = 0;
}

size_t TBufferedStream::Read(void* buffer, size_t count) {
  FlushWrites();
  auto* out = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  while (done < count) {
    if (read_pos_ == read_end_) {
      // Large reads bypass the buffer: one copy instead of two.
      if (count - done >= buffer_.size()) {
        const size_t got = inner_->Read(out + done, count - done);
        done += got;
        break;
      }
      read_pos_ = 0;
      read_end_ = inner_->Read(buffer_.data(), buffer_.size());
      if (read_end_ == 0) break;
    }
    const size_t n = std::min(count - done, read_end_ - read_pos_);
    std::memcpy(out + done, buffer_.data() + read_pos_, n);
    read_pos_ += n;
    done += n;
  }
  return done;
}

size_t TBufferedStream::Write(const void* buffer, size_t count) {
  DropReadAhead();
  const auto* in = static_cast<const uint8_t*>(buffer);
  if (write_len_ + count > buffer_.size()) {
    FlushWrites();
    if (count >= buffer_.size()) {
      inner_->WriteBuffer(in, count);
      return count;
    }
  }
  std::memcpy(buffer_.data() + write_len_, in, count);
  write_len_ += count;
  return count;
}

int64_t TBufferedStream::Seek(int64_t offset, SeekOrigin origin) {
  if (origin == SeekOrigin::kCurrent && offset == 0) {
    // Position queries are frequent; answer them without disturbing the buffer.
    const int64_t inner = inner_->Seek(0, SeekOrigin::kCurrent);
    return inner + static_cast<int64_t>(write_len_) - static_cast<int64_t>(read_end_ - read_pos_);
  }
  FlushWrites();
  DropReadAhead();
  return inner_->Seek(offset, origin);
}

int64_t TBufferedStream::Size() {
  FlushWrites();
  DropReadAhead();
  return inner_->Size();
}

void TBufferedStream::SetSize(int64_t size) {
  FlushWrites();
  DropReadAhead();
  inner_->SetSize(size);
}

void TBufferedStream::Flush() {
  FlushWrites();
  inner_->Flush();
}

}  // namespace nolu
