// TFakePlatform: the in-memory platform that engine tests install with a PlatformScope.
//
//   TFakePlatform fake;
//   PlatformScope scope(fake);
//   fake.Files().AddFile(u"C:\\Nolu\\Nolu.ini", "[System]\r\nVersion=5010\r\n");
//   ... run engine code ...
//   EXPECT_FALSE(fake.Files().FileExists(u"C:\\Nolu\\Nolu.ini"));
//
// Each service is the fake class itself, so a test reaches the arranging and inspecting
// operations directly.
#pragma once

#include "platform/fake/fake_file_system.h"
#include "platform/fake/fake_system.h"
#include "platform/platform.h"

namespace nolu {

class TFakePlatform : public TPlatform {
 public:
  TFakePlatform();
  ~TFakePlatform() override;

  TFakeFileSystem& Files() override { return files_; }
  TFakeSystem& System() override { return system_; }
  IRegistry& Registry() override;
  IShell& Shell() override;
  IProcesses& Processes() override;
  IDesktopWindows& Windows() override;
  IMessageChannel& Messages() override;
  IMessageBox& Dialogs() override;
  IModuleResources& Resources() override;

 private:
  TFakeFileSystem files_;
  TFakeSystem system_;
};

}  // namespace nolu
