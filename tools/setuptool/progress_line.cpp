#include "setuptool/progress_line.h"

#include <algorithm>
#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define NOLU_ISATTY(f) _isatty(_fileno(f))
#else
#include <unistd.h>
#define NOLU_ISATTY(f) isatty(fileno(f))
#endif

namespace nolu::tool {

using Clock = std::chrono::steady_clock;

TProgressLine::TProgressLine(std::string label)
    : label_(std::move(label)),
      enabled_(NOLU_ISATTY(stderr) != 0),
      start_(Clock::now()),
      last_(start_) {}

TProgressLine::~TProgressLine() {
  Finish();
}

void TProgressLine::Update(uint64_t done, uint64_t total) {
  if (!enabled_) return;
  const auto now = Clock::now();
  if (now - start_ < std::chrono::seconds(1)) return;
  if (shown_ && now - last_ < std::chrono::milliseconds(200)) return;
  last_ = now;
  shown_ = true;
  const double mib = 1024.0 * 1024.0;
  const int percent = total ? static_cast<int>(done * 100 / total) : 0;
  char text[160];
  const int length =
      std::snprintf(text, sizeof text, "%s: %3d%% (%.1f of %.1f MiB)", label_.c_str(), percent,
                    static_cast<double>(done) / mib, static_cast<double>(total) / mib);
  // Blanks over the rest of a longer earlier line: escape sequences are not understood by
  // every Windows console.
  std::fprintf(stderr, "\r%s%*s", text, std::max(0, width_ - length), "");
  width_ = std::max(width_, length);
  std::fflush(stderr);
}

void TProgressLine::Finish() {
  if (!shown_) return;
  shown_ = false;
  std::fprintf(stderr, "\r%*s\r", width_, "");
  std::fflush(stderr);
}

TProgressStream::TProgressStream(TStream& inner, TProgressLine& progress)
    : inner_(inner), progress_(progress), size_(inner.Size()) {}

size_t TProgressStream::Read(void* buffer, size_t count) {
  const size_t got = inner_.Read(buffer, count);
  progress_.Update(static_cast<uint64_t>(inner_.Position()), static_cast<uint64_t>(size_));
  return got;
}

size_t TProgressStream::Write(const void* buffer, size_t count) {
  return inner_.Write(buffer, count);
}

int64_t TProgressStream::Seek(int64_t offset, SeekOrigin origin) {
  return inner_.Seek(offset, origin);
}

}  // namespace nolu::tool
