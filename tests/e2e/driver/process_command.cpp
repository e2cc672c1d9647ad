// run: starts a program with a command line taken byte for byte.
//
// `wine prog.exe ARG...` rebuilds the command line from Unix arguments and quotes any
// argument holding a blank, so a parameter such as /AUTO="C:\Program Files (x86)\Nolu\"
// cannot reach a program as typed that way; CreateProcessW with the raw text can.
#include <windows.h>

#include "arguments.h"
#include "driver_commands.h"
#include "win32_handles.h"
#include "win32_text.h"

namespace nolu::driver {

ExitCode RunProgram(const StringList& args, JsonWriter& result) {
  const Arguments a(args, OptionNames{{u"cmdline", u"cwd", u"wait"}, {}});
  const std::optional<String> cmdline = a.Find(u"cmdline");
  if (!cmdline || cmdline->empty()) throw UsageError(u"give the command line: --cmdline TEXT");
  const std::optional<String> cwd = a.Find(u"cwd");

  // CreateProcessW may write into the command line buffer.
  std::wstring buffer(Wide(*cmdline), cmdline->size());
  buffer.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      cwd ? Wide(*cwd) : nullptr, &startup, &info)) {
    throw SystemFailure(u"CreateProcessW of " + *cmdline, GetLastError());
  }
  const KernelHandle process(info.hProcess);
  const KernelHandle thread(info.hThread);
  result.Field("pid", static_cast<int64_t>(info.dwProcessId)).Field("cmdline", *cmdline);
  if (!a.Has(u"wait")) return ExitCode::kOk;

  const uint32_t wait_ms = a.GetMilliseconds(u"wait", 0);
  if (WaitForSingleObject(process.get(), wait_ms) != WAIT_OBJECT_0) {
    // Ended here so that a hung program does not outlive the test that started it.
    TerminateProcess(process.get(), 1);
    result.FlagField("timeout", true);
    return ExitCode::kNotFound;
  }
  DWORD exit_code = 0;
  GetExitCodeProcess(process.get(), &exit_code);
  result.Field("exit", static_cast<int64_t>(exit_code));
  return ExitCode::kOk;
}

}  // namespace nolu::driver
