// TLoggingPlatform: another platform, call for call, that writes to a log what the program
// does to the machine: every file written, copied, moved, deleted or left to the next restart,
// every folder made or removed, every registry key and value written or deleted, every program
// started (with its exit code once it is seen to end), every library export called and every
// shortcut written. Queries go through unrecorded.
//
//   TTextLog log(real.Files(), real.System(), path, false);
//   TLoggingPlatform logging(real, log);
//   PlatformScope scope(logging);     // every layer above now calls through `logging`
//
// Nothing is changed on the way: each call returns exactly what the other platform returned,
// so a run with a log does what a run without one does. A failed call is recorded with its
// error code and the system's text for it.
//
// A started program comes back as a process of this platform; the message channel here takes
// those for WaitDispatching and hands the other platform's own process on. Thread-safe as the
// other platform and the log are.
#pragma once

#include <memory>

#include "platform/logging/text_log.h"
#include "platform/platform.h"

namespace nolu {

class TLoggingPlatform : public TPlatform {
 public:
  TLoggingPlatform(TPlatform& inner, TTextLog& log);
  ~TLoggingPlatform() override;
  TLoggingPlatform(const TLoggingPlatform&) = delete;
  TLoggingPlatform& operator=(const TLoggingPlatform&) = delete;

  IFileSystem& Files() override;
  ISystem& System() override { return inner_.System(); }
  IRegistry& Registry() override;
  IShell& Shell() override;
  IProcesses& Processes() override;
  IDesktopWindows& Windows() override { return inner_.Windows(); }
  IMessageChannel& Messages() override;
  IMessageBox& Dialogs() override { return inner_.Dialogs(); }
  IModuleResources& Resources() override { return inner_.Resources(); }
  IPictureDecoder& Pictures() override { return inner_.Pictures(); }

 private:
  struct Services;

  TPlatform& inner_;
  std::unique_ptr<Services> services_;
};

}  // namespace nolu
