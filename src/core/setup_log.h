// TSetupLog: the log of a run, asked for on the command line.
//
//   /LOG           a new file in the temporary folder, named after the program and the time
//                  ("Setup 2024-03-05 14-07-09.log", then "... (2).log"); never an existing one
//   /LOG="file"    that file, created or appended to (a relative name is taken from the
//                  current folder)
//
// While it is open, the program reaches the operating system through a TLoggingPlatform, which
// writes every file, registry and program change to the log; the entry and the worker add the
// lines that say what the run is (version, switches, mode, flags, destination, each action with
// its time, the errors, the exit code). Every instance of one run writes to the same file: a
// restart passes the file on before its parameters (RelaunchSwitch), as "/SKIPUAC" and "/PATH"
// are passed on.
//
// A log that cannot be written is no log: the run does exactly what it would do without one.
#pragma once

#include <memory>

#include "base/text.h"

namespace nolu {

class TLoggingPlatform;
class PlatformScope;
class TTextLog;

class TSetupLog {
 public:
  // No log.
  TSetupLog();
  // The log that `params` ask for, opened over the current platform, which it then replaces
  // with the logging one until it is destroyed. Never raises.
  explicit TSetupLog(StringView params);
  ~TSetupLog();
  TSetupLog(const TSetupLog&) = delete;
  TSetupLog& operator=(const TSetupLog&) = delete;

  bool IsOpen() const;
  // The log file's full path; empty without a log.
  const String& Path() const { return path_; }
  // One line, from any thread; nothing without a log.
  void Line(StringView text);
  // "/LOG="<file>" " for the parameters of a restart, or nothing without a log.
  String RelaunchSwitch() const;

 private:
  std::unique_ptr<TTextLog> text_;
  String path_;
  std::unique_ptr<TLoggingPlatform> platform_;
  std::unique_ptr<PlatformScope> scope_;
};

}  // namespace nolu
