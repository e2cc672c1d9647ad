// TProgressLine: the one progress line a tool shows on stderr while a long step runs.
//
// Nothing appears for work that ends within a second, nor when stderr is not a terminal
// (logs and pipes get no carriage-return noise); the line is redrawn a few times a second
// and wiped when the work ends.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "base/stream.h"

namespace nolu::tool {

class TProgressLine {
 public:
  explicit TProgressLine(std::string label);
  ~TProgressLine();
  TProgressLine(const TProgressLine&) = delete;
  TProgressLine& operator=(const TProgressLine&) = delete;

  void SetLabel(std::string label) { label_ = std::move(label); }
  // `done` of `total` bytes.
  void Update(uint64_t done, uint64_t total);
  // Wipes the line, if one was shown.
  void Finish();

 private:
  std::string label_;
  bool enabled_;
  bool shown_ = false;
  int width_ = 0;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point last_;
};

// A stream that reports its read position to a progress line (reading a package).
class TProgressStream : public TStream {
 public:
  TProgressStream(TStream& inner, TProgressLine& progress);

  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override { return inner_.Size(); }
  void SetSize(int64_t size) override { inner_.SetSize(size); }

 private:
  TStream& inner_;
  TProgressLine& progress_;
  int64_t size_;
};

}  // namespace nolu::tool
