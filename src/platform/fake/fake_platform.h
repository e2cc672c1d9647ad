// TFakePlatform: the in-memory platform that engine tests install with a PlatformScope.
//
//   TFakePlatform fake;
//   PlatformScope scope(fake);
//   fake.Files().AddFile(u"C:\\Nolu\\Nolu.ini", "[System]\r\nVersion=5010\r\n");
//   ... run engine code ...
//   EXPECT_FALSE(fake.Files().FileExists(u"C:\\Nolu\\Nolu.ini"));
//
// Each service is the fake class itself, so a test reaches the arranging and inspecting
// operations directly. The services work together like one machine: the shell's special
// folders exist in the file system, programs the shell starts are the processes' programs,
// links are files, and everything that waits shares one signalling hub with the message
// channel. Time passes only on the fake system's clock: Sleep and the timed waits for the
// processes of other programs' windows advance it. Create the platform on the thread that
// plays the main thread.
#pragma once

#include <memory>

#include "platform/fake/fake_desktop_windows.h"
#include "platform/fake/fake_file_system.h"
#include "platform/fake/fake_hub.h"
#include "platform/fake/fake_message_box.h"
#include "platform/fake/fake_message_channel.h"
#include "platform/fake/fake_module_resources.h"
#include "platform/fake/fake_picture_decoder.h"
#include "platform/fake/fake_processes.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_shell.h"
#include "platform/fake/fake_system.h"
#include "platform/platform.h"

namespace nolu {

class TFakePlatform : public TPlatform {
 public:
  TFakePlatform();
  ~TFakePlatform() override;

  TFakeFileSystem& Files() override { return files_; }
  TFakeSystem& System() override { return system_; }
  TFakeRegistry& Registry() override { return registry_; }
  TFakeShell& Shell() override { return shell_; }
  TFakeProcesses& Processes() override { return processes_; }
  TFakeDesktopWindows& Windows() override { return windows_; }
  TFakeMessageChannel& Messages() override { return messages_; }
  TFakeMessageBox& Dialogs() override { return dialogs_; }
  TFakeModuleResources& Resources() override { return resources_; }
  TFakePictureDecoder& Pictures() override { return pictures_; }

 private:
  // Declaration order is destruction order reversed: the channel ends before the processes
  // wait for their programs, so a program still sending to the main thread is released.
  std::shared_ptr<TFakeHub> hub_;
  TFakeFileSystem files_;
  TFakeSystem system_;
  TFakeRegistry registry_;
  TFakeProcesses processes_;
  TFakeShell shell_;
  TFakeDesktopWindows windows_;
  TFakeMessageChannel messages_;
  TFakeMessageBox dialogs_;
  TFakeModuleResources resources_;
  TFakePictureDecoder pictures_;
};

}  // namespace nolu
