// TWin32Platform: the real platform that Setup.exe installs at start-up. Create it on the
// main thread: that thread becomes the one the message channel serves.
#pragma once

#include <memory>

#include "platform/platform.h"

namespace nolu {

class TWin32FileSystem;
class TWin32System;

class TWin32Platform : public TPlatform {
 public:
  TWin32Platform();
  ~TWin32Platform() override;

  IFileSystem& Files() override;
  ISystem& System() override;
  IRegistry& Registry() override;
  IShell& Shell() override;
  IProcesses& Processes() override;
  IDesktopWindows& Windows() override;
  IMessageChannel& Messages() override;
  IMessageBox& Dialogs() override;
  IModuleResources& Resources() override;

 private:
  std::unique_ptr<TWin32FileSystem> files_;
  std::unique_ptr<TWin32System> system_;
};

}  // namespace nolu
