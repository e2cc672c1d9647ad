// TTextLog: a plain-text log file that several processes may append to at the same time.
//
// Each line is "yyyy-MM-dd hh:mm:ss.mmm [<process id>] <text>" and ends with CR LF; a new
// file starts with the UTF-8 byte order mark, so that every editor reads its paths right.
// Lines are written one by one, each with a single write to a file opened for appending, so
// the instances of one run (the one that restarts itself elevated, the uninstaller and its
// copy) can share one file and no line is ever torn or lost in a crash.
//
// A log must never change what it records: a line that cannot be written is dropped, and
// nothing here raises once the log is open.
#pragma once

#include <memory>
#include <mutex>

#include "base/stream.h"
#include "base/text.h"
#include "platform/file_system.h"
#include "platform/system.h"

namespace nolu {

class TTextLog {
 public:
  // Opens `path` for appending, creating it if needed; with `create_new` only a file that does
  // not exist yet is taken. `files` and `system` write the lines and stamp them; pass the real
  // services, not logged ones, so that the log never records its own writing. IsOpen() tells
  // whether it worked (Error() why not).
  TTextLog(IFileSystem& files, ISystem& system, StringView path, bool create_new);
  TTextLog(const TTextLog&) = delete;
  TTextLog& operator=(const TTextLog&) = delete;

  bool IsOpen() const { return stream_ != nullptr; }
  uint32_t Error() const { return error_; }
  const String& Path() const { return path_; }

  // Appends one line; any thread. Line breaks inside `text` are written as " | ", so that one
  // entry stays one line.
  void Line(StringView text);

 private:
  ISystem& system_;
  String path_;
  uint32_t error_ = 0;
  uint32_t process_id_ = 0;
  std::mutex mutex_;
  std::unique_ptr<TStream> stream_;
};

}  // namespace nolu
