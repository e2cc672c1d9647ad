#include "platform/win32/win32_platform.h"

#include "platform/win32/desktop_windows_win32.h"
#include "platform/win32/file_system_win32.h"
#include "platform/win32/message_box_win32.h"
#include "platform/win32/message_channel_win32.h"
#include "platform/win32/module_resources_win32.h"
#include "platform/win32/picture_decoder_win32.h"
#include "platform/win32/processes_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/shell_win32.h"
#include "platform/win32/system_win32.h"

namespace nolu {

TWin32Platform::TWin32Platform()
    : files_(std::make_unique<TWin32FileSystem>()),
      system_(std::make_unique<TWin32System>()),
      registry_(std::make_unique<TWin32Registry>()),
      shell_(std::make_unique<TWin32Shell>()),
      processes_(std::make_unique<TWin32Processes>()),
      windows_(std::make_unique<TWin32DesktopWindows>()),
      messages_(std::make_unique<TWin32MessageChannel>()),
      dialogs_(std::make_unique<TWin32MessageBox>()),
      resources_(std::make_unique<TWin32ModuleResources>()),
      pictures_(std::make_unique<TWin32PictureDecoder>()) {}

TWin32Platform::~TWin32Platform() = default;

IFileSystem& TWin32Platform::Files() {
  return *files_;
}
ISystem& TWin32Platform::System() {
  return *system_;
}
IRegistry& TWin32Platform::Registry() {
  return *registry_;
}
IShell& TWin32Platform::Shell() {
  return *shell_;
}
IProcesses& TWin32Platform::Processes() {
  return *processes_;
}
IDesktopWindows& TWin32Platform::Windows() {
  return *windows_;
}
IMessageChannel& TWin32Platform::Messages() {
  return *messages_;
}
IMessageBox& TWin32Platform::Dialogs() {
  return *dialogs_;
}
IModuleResources& TWin32Platform::Resources() {
  return *resources_;
}
IPictureDecoder& TWin32Platform::Pictures() {
  return *pictures_;
}

}  // namespace nolu
