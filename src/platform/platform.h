// TPlatform: every operating-system service the engine uses, behind one process-wide
// instance.
//
// The layers above reach the operating system only through CurrentPlatform(). Setup.exe
// installs the Win32 implementation at start-up; tests install the in-memory fake
// (platform/fake/fake_platform.h) with a PlatformScope, which restores the previous instance
// when it ends. The instance is not owned by the registration: whoever installs it keeps it
// alive for as long as it is current.
#pragma once

#include "platform/desktop_windows.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/message_channel.h"
#include "platform/module_resources.h"
#include "platform/picture_decoder.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system.h"

namespace nolu {

class TPlatform {
 public:
  virtual ~TPlatform() = default;

  virtual IFileSystem& Files() = 0;
  virtual ISystem& System() = 0;
  virtual IRegistry& Registry() = 0;
  virtual IShell& Shell() = 0;
  virtual IProcesses& Processes() = 0;
  virtual IDesktopWindows& Windows() = 0;
  virtual IMessageChannel& Messages() = 0;
  virtual IMessageBox& Dialogs() = 0;
  virtual IModuleResources& Resources() = 0;
  virtual IPictureDecoder& Pictures() = 0;
};

// The installed instance. Raises EInvalidOperation "No platform is installed" when there is
// none: a missing installation is a programming error that must not pass silently.
TPlatform& CurrentPlatform();
// Installs `platform` (nullptr uninstalls) and returns the previous instance.
TPlatform* SetCurrentPlatform(TPlatform* platform);

// Installs an instance for the life of the scope, then restores the previous one.
class PlatformScope {
 public:
  explicit PlatformScope(TPlatform& platform) : previous_(SetCurrentPlatform(&platform)) {}
  ~PlatformScope() { SetCurrentPlatform(previous_); }
  PlatformScope(const PlatformScope&) = delete;
  PlatformScope& operator=(const PlatformScope&) = delete;

 private:
  TPlatform* previous_;
};

}  // namespace nolu
