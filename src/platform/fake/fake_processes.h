// TFakeProcesses: started programs and called library exports, recorded; a test supplies the
// programs.
//
// Every start is recorded as a TFakeLaunch (the shell's starts too, see TFakeShell), with the
// process identifier it got (counting up from 0x1004, as Windows numbers them). A program
// that a test registered with SetProgram runs "as the process" on its own thread: the process
// is signalled, with the program's result as exit code, when the function returns. Meanwhile
// it may, for example, send messages to the main thread's windows, as a real elevated
// instance does. A program file that exists in the fake file system but has no registered
// function ends at once with exit code 0; a missing one fails to start (kErrorFileNotFound).
//
// Library exports are recorded the same way: a registered library answers through its
// function (for example kErrorBadExeFormat for one of the other processor width); an
// existing file without one loads and has every export; a missing file gives
// kErrorModNotFound.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/fake/fake_hub.h"
#include "platform/file_system.h"
#include "platform/processes.h"

namespace nolu {

struct TFakeLaunch {
  enum class Via { kStartProcess, kShellExecute, kShellOpen };
  Via How = Via::kStartProcess;
  String CommandLine;  // kStartProcess: the whole line; the shell: File and Parameters joined
  String File;         // the program (first token of a command line)
  String Parameters;   // the rest of the command line
  String Verb;
  String Folder;
  int Show = 0;
  uint32_t ProcessId = 0;  // the started process's identifier (none for a refused start)
};

struct TFakeExportCall {
  String Library;
  std::string Export;
  uint32_t Result = 0;
};

using FakeProgram = std::function<uint32_t(const TFakeLaunch&)>;

class TFakeProcesses : public IProcesses {
 public:
  TFakeProcesses(IFileSystem& files, std::shared_ptr<TFakeHub> hub);
  // Waits for the programs that still run.
  ~TFakeProcesses() override;

  TStartResult StartProcess(StringView command_line, int show, StringView folder) override;
  uint32_t CallLibraryExport(StringView library, std::string_view name) override;

  // The program at `path` (a full path, or a bare file name that matches in any folder;
  // without regard to case).
  void SetProgram(StringView path, FakeProgram program);
  // Starting `path` fails with `error`.
  void FailStart(StringView path, uint32_t error);
  void SetLibrary(StringView path, std::function<uint32_t(std::string_view)> on_call);

  std::vector<TFakeLaunch> Launches();
  std::vector<TFakeExportCall> ExportCalls();
  // Blocks until every program started so far has ended.
  void WaitForPrograms();

  // Records a launch and runs it, or, with a `refusal` error, only records it and fails with
  // that error. The shell starts its programs through here.
  TStartResult Launch(TFakeLaunch launch, uint32_t refusal = 0);
  // Splits a command line into the program and the rest, as CreateProcessW reads it.
  static void SplitCommandLine(StringView command_line, String& file, String& parameters);

 private:
  template <typename T>
  const T* Match(const std::vector<std::pair<String, T>>& table, StringView path);

  IFileSystem& files_;
  std::shared_ptr<TFakeHub> hub_;
  std::mutex mutex_;
  std::vector<std::pair<String, FakeProgram>> programs_;
  std::vector<std::pair<String, uint32_t>> start_failures_;
  std::vector<std::pair<String, std::function<uint32_t(std::string_view)>>> libraries_;
  std::vector<TFakeLaunch> launches_;
  std::vector<TFakeExportCall> export_calls_;
  std::vector<std::thread> running_;
  uint32_t next_process_id_ = 0x1000;
};

}  // namespace nolu
