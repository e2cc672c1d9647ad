// TWin32Platform: the real platform that Setup.exe installs at start-up. Create it on the
// main thread: that thread becomes the one the message channel serves.
#pragma once

#include <memory>

#include "platform/platform.h"

namespace nolu {

class TWin32FileSystem;
class TWin32System;
class TWin32Registry;
class TWin32Shell;
class TWin32Processes;
class TWin32DesktopWindows;
class TWin32MessageChannel;
class TWin32MessageBox;
class TWin32ModuleResources;
class TWin32PictureDecoder;

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
  IPictureDecoder& Pictures() override;

 private:
  std::unique_ptr<TWin32FileSystem> files_;
  std::unique_ptr<TWin32System> system_;
  std::unique_ptr<TWin32Registry> registry_;
  std::unique_ptr<TWin32Shell> shell_;
  std::unique_ptr<TWin32Processes> processes_;
  std::unique_ptr<TWin32DesktopWindows> windows_;
  std::unique_ptr<TWin32MessageChannel> messages_;
  std::unique_ptr<TWin32MessageBox> dialogs_;
  std::unique_ptr<TWin32ModuleResources> resources_;
  std::unique_ptr<TWin32PictureDecoder> pictures_;
};

}  // namespace nolu
