// IProcesses: starting programs, waiting for them, and calling exports of libraries.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "base/text.h"
#include "platform/waitable.h"

namespace nolu {

// Show commands (SW_*), with the values of the Windows API.
inline constexpr int kSwHide = 0;
inline constexpr int kSwShowNormal = 1;
inline constexpr int kSwShow = 5;

// A started process. Signalled when it has ended. Destroying the object closes the handle;
// the process itself goes on.
class TProcess : public IWaitable {
 public:
  // The exit code once the process has ended; false while it still runs.
  virtual bool ExitCode(uint32_t& code) = 0;
  // The system's identifier of the process (GetProcessId).
  virtual uint32_t Id() = 0;
};

struct TStartResult {
  std::unique_ptr<TProcess> Process;  // none on failure
  uint32_t Error = 0;
};

class IProcesses {
 public:
  virtual ~IProcesses() = default;

  // Starts `command_line` (CreateProcessW: the program path first, quoted when it holds
  // blanks) with its main window shown as `show`, in `folder` (empty: the current folder).
  virtual TStartResult StartProcess(StringView command_line, int show, StringView folder) = 0;

  // Loads the library at the full path `library` (never searched for by name; its own
  // folder is where its dependencies are looked for, then the system folder) with the
  // system's critical-error dialogs switched off, calls its parameterless export `name`
  // (result ignored) and unloads it. Returns kErrorModNotFound or kErrorBadExeFormat (a
  // library of the other processor width) when it cannot be loaded, kErrorProcNotFound when
  // the export is missing.
  virtual uint32_t CallLibraryExport(StringView library, std::string_view name) = 0;
};

}  // namespace nolu
