// TMemoryStream: a growable in-memory stream.
#pragma once

#include <vector>

#include "base/stream.h"

namespace nolu {

class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<uint8_t> bytes) : data_(std::move(bytes)) {}

  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override { return static_cast<int64_t>(data_.size()); }
  void SetSize(int64_t size) override;

  // Reserves room for `capacity` bytes so that a known-size fill does not reallocate.
  void Reserve(size_t capacity) { data_.reserve(capacity); }
  uint8_t* Data() { return data_.data(); }
  const uint8_t* Data() const { return data_.data(); }
  const std::vector<uint8_t>& Bytes() const { return data_; }
  std::vector<uint8_t> TakeBytes();

 private:
  std::vector<uint8_t> data_;
  size_t position_ = 0;
};

}  // namespace nolu
