// Windows itself for the tests that run the setup's work on the real system under Wine: every
// service is the real one except the module resources, which hold the packages a test
// supplies, and the shell, which a test may wrap (TForwardingShell) to redirect or record.
#pragma once

#include "platform/fake/fake_module_resources.h"
#include "platform/platform.h"
#include "platform/shell.h"
#include "platform/win32/win32_platform.h"

namespace nolu {

// The real shell, call for call; a test overrides what it changes.
class TForwardingShell : public IShell {
 public:
  explicit TForwardingShell(IShell& real) : real_(real) {}
  bool SpecialFolder(Csidl folder, String& path) override {
    return real_.SpecialFolder(folder, path);
  }
  TStartResult Execute(const TShellExecuteInfo& info) override { return real_.Execute(info); }
  uint32_t ShellOpen(StringView verb, StringView file, StringView parameters, StringView folder,
                     int show) override {
    return real_.ShellOpen(verb, file, parameters, folder, show);
  }
  uint32_t CreateShellLink(StringView link_path, const TShellLink& link) override {
    return real_.CreateShellLink(link_path, link);
  }
  uint32_t ReadShellLink(StringView link_path, TShellLink& link) override {
    return real_.ReadShellLink(link_path, link);
  }
  void ChangeNotify(uint32_t event, uint32_t flags) override { real_.ChangeNotify(event, flags); }

 protected:
  IShell& real_;
};

class TWin32PlatformWithResources : public TPlatform {
 public:
  TFakeModuleResources& TestResources() { return resources_; }

  IFileSystem& Files() override { return real_.Files(); }
  ISystem& System() override { return real_.System(); }
  IRegistry& Registry() override { return real_.Registry(); }
  IShell& Shell() override { return real_.Shell(); }
  IProcesses& Processes() override { return real_.Processes(); }
  IDesktopWindows& Windows() override { return real_.Windows(); }
  IMessageChannel& Messages() override { return real_.Messages(); }
  IMessageBox& Dialogs() override { return real_.Dialogs(); }
  IModuleResources& Resources() override { return resources_; }
  IPictureDecoder& Pictures() override { return real_.Pictures(); }

 protected:
  TWin32Platform& Real() { return real_; }

 private:
  TWin32Platform real_;
  TFakeModuleResources resources_;
};

}  // namespace nolu
