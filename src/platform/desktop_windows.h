// IDesktopWindows: top-level windows of any process on the desktop, and window identities.
//
// Windows are named by TWindowId, an opaque number (the HWND's value on Win32). It travels on
// command lines as a decimal integer ("/SKIPUAC=<id>"), so it converts to and from text.
#pragma once

#include <cstdint>
#include <memory>

#include "base/text.h"
#include "platform/processes.h"

namespace nolu {

struct TWindowId {
  uint64_t Value = 0;

  explicit operator bool() const { return Value != 0; }
  friend bool operator==(const TWindowId&, const TWindowId&) = default;
};

class IDesktopWindows {
 public:
  virtual ~IDesktopWindows() = default;

  // A top-level window of the class `class_name` (any title), or none.
  virtual TWindowId FindTopLevelWindow(StringView class_name) = 0;
  // Sends WM_CLOSE and waits until the window has handled it, at most `timeout_ms`
  // (kInfinite: no limit). kErrorTimeout when the window's program does not answer in time,
  // kErrorInvalidWindowHandle when the window is gone.
  virtual uint32_t SendClose(TWindowId window, uint32_t timeout_ms) = 0;
  // The full path of the program whose process owns the window; empty when it cannot be
  // queried.
  virtual String WindowOwnerExecutable(TWindowId window) = 0;
  // The process that owns the window, opened to wait for its end (it stays open when the
  // window closes); none when the window is gone or the process may not be opened.
  virtual std::unique_ptr<TProcess> OpenWindowProcess(TWindowId window) = 0;
  // RegisterWindowMessageW: the same number for the same name in every process of the
  // session; 0 on failure.
  virtual uint32_t RegisterMessage(StringView name) = 0;
};

}  // namespace nolu
