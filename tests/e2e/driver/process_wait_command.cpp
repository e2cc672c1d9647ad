// wait-process: finds a running program by its image, reads its command line, and waits for
// it to end.
//
// A program may hand its work to a second process it starts and end at once (the uninstaller
// moves itself to the temporary folder that way). The test cannot wait for that process as
// for its own child, so the driver finds it by its image path, opens it while it runs, and
// reports the command line it was given and, once it has ended, its exit code.
#include <windows.h>
// After windows.h, which they need.
#include <tlhelp32.h>
#include <winternl.h>

#include <optional>
#include <vector>

#include "arguments.h"
#include "base/format.h"
#include "base/locale.h"
#include "driver_commands.h"
#include "win32_handles.h"
#include "win32_text.h"
#include "window_search.h"

namespace nolu::driver {
namespace {

struct RunningProgram {
  DWORD pid = 0;
  String image;
};

String ImagePath(HANDLE process) {
  std::vector<wchar_t> buffer(32768);
  DWORD size = static_cast<DWORD>(buffer.size());
  if (!QueryFullProcessImageNameW(process, 0, buffer.data(), &size)) return {};
  return FromWide(buffer.data(), size);
}

// `image` is a full path or a file name; either must match the end of the process's image
// path at a component boundary, ignoring case as Windows does.
bool ImageMatches(const String& path, const String& image) {
  if (path.size() < image.size()) return false;
  const size_t start = path.size() - image.size();
  if (!EqualsIgnoreCase(path.substr(start), image)) return false;
  return start == 0 || path[start - 1] == u'\\' || image.front() == u'\\';
}

// `below` (empty: anywhere) is a folder the image must lie in, at any depth: a program started
// from a folder of a random name is found by the folder above it.
std::vector<RunningProgram> FindPrograms(const String& image, const String& below) {
  std::vector<RunningProgram> found;
  const KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (snapshot.get() == INVALID_HANDLE_VALUE || !snapshot) return found;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    const KernelHandle process(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
    if (!process) continue;
    String path = ImagePath(process.get());
    const bool in_folder =
        below.empty() || (path.size() > below.size() &&
                          EqualsIgnoreCase(StringView(path).substr(0, below.size()), below));
    if (in_folder && ImageMatches(path, image)) {
      found.push_back({entry.th32ProcessID, std::move(path)});
    }
  }
  return found;
}

// The command line the process was started with, read from its process parameters as the
// system's own tools do (empty when they cannot be read).
String CommandLineOf(HANDLE process) {
  using QueryInformation = LONG(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
  const auto query = reinterpret_cast<QueryInformation>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  PROCESS_BASIC_INFORMATION basic{};
  if (!query || query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0)
    return {};
  PEB peb{};
  RTL_USER_PROCESS_PARAMETERS parameters{};
  if (!ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof peb, nullptr) ||
      !ReadProcessMemory(process, peb.ProcessParameters, &parameters, sizeof parameters, nullptr)) {
    return {};
  }
  std::vector<wchar_t> text(parameters.CommandLine.Length / sizeof(wchar_t));
  if (!ReadProcessMemory(process, parameters.CommandLine.Buffer, text.data(),
                         text.size() * sizeof(wchar_t), nullptr)) {
    return {};
  }
  return FromWide(text.data(), text.size());
}

}  // namespace

ExitCode WaitProcess(const StringList& args, JsonWriter& result) {
  const Arguments a(args, OptionNames{{u"image", u"below", u"timeout"}, {u"exit", u"gone"}});
  const std::optional<String> image = a.Find(u"image");
  if (!image || image->empty()) throw UsageError(u"give the program: --image NAME-OR-PATH");
  String below = a.Find(u"below").value_or(String());
  if (!below.empty() && below.back() != u'\\') below += u'\\';
  const uint32_t timeout = a.GetMilliseconds(u"timeout", kDefaultWaitSeconds);
  const ULONGLONG deadline = GetTickCount64() + timeout;
  const auto left = [&] {
    const ULONGLONG now = GetTickCount64();
    return static_cast<DWORD>(now < deadline ? deadline - now : 0);
  };

  if (a.Has(u"gone")) {
    if (!WaitUntil([&] { return FindPrograms(*image, below).empty(); }, timeout)) {
      throw NotFoundError(Format(u"a program %s was still running after %d ms",
                                 {*image, static_cast<int64_t>(timeout)}));
    }
    result.FlagField("gone", true);
    return ExitCode::kOk;
  }

  // The handle is opened as soon as the program is seen, so its exit code stays readable
  // however soon it ends.
  std::optional<KernelHandle> process;
  RunningProgram program;
  WaitUntil(
      [&] {
        for (RunningProgram& candidate : FindPrograms(*image, below)) {
          HANDLE opened = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION |
                                          PROCESS_QUERY_INFORMATION | PROCESS_VM_READ,
                                      FALSE, candidate.pid);
          if (!opened) continue;
          program = std::move(candidate);
          process.emplace(opened);
          return true;
        }
        return false;
      },
      timeout);
  if (!process) {
    throw NotFoundError(
        Format(u"no program %s started within %d ms", {*image, static_cast<int64_t>(timeout)}));
  }
  // A process seen at its very start may not have its parameters in place yet.
  String cmdline;
  WaitUntil(
      [&] {
        cmdline = CommandLineOf(process->get());
        return !cmdline.empty() || WaitForSingleObject(process->get(), 0) == WAIT_OBJECT_0;
      },
      left());
  result.Field("pid", static_cast<int64_t>(program.pid))
      .Field("image", program.image)
      .Field("cmdline", cmdline);
  if (!a.Has(u"exit")) return ExitCode::kOk;
  if (WaitForSingleObject(process->get(), left()) != WAIT_OBJECT_0) {
    throw NotFoundError(
        Format(u"the program %s (process %d) was still running after %d ms",
               {program.image, static_cast<int64_t>(program.pid), static_cast<int64_t>(timeout)}));
  }
  DWORD exit_code = 0;
  GetExitCodeProcess(process->get(), &exit_code);
  result.Field("exit", static_cast<int64_t>(exit_code));
  return ExitCode::kOk;
}

}  // namespace nolu::driver
