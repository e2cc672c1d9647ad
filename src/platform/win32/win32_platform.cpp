#include "platform/win32/win32_platform.h"

#include "base/errors.h"
#include "platform/win32/file_system_win32.h"
#include "platform/win32/system_win32.h"

namespace nolu {
namespace {
[[noreturn]] void NotYet(const char16_t* service) {
  throw EInvalidOperation(String(u"The Win32 platform has no ") + service + u" service yet");
}
}  // namespace

TWin32Platform::TWin32Platform()
    : files_(std::make_unique<TWin32FileSystem>()), system_(std::make_unique<TWin32System>()) {}

TWin32Platform::~TWin32Platform() = default;

IFileSystem& TWin32Platform::Files() {
  return *files_;
}
ISystem& TWin32Platform::System() {
  return *system_;
}
IRegistry& TWin32Platform::Registry() {
  NotYet(u"registry");
}
IShell& TWin32Platform::Shell() {
  NotYet(u"shell");
}
IProcesses& TWin32Platform::Processes() {
  NotYet(u"process");
}
IDesktopWindows& TWin32Platform::Windows() {
  NotYet(u"window");
}
IMessageChannel& TWin32Platform::Messages() {
  NotYet(u"message channel");
}
IMessageBox& TWin32Platform::Dialogs() {
  NotYet(u"message box");
}
IModuleResources& TWin32Platform::Resources() {
  NotYet(u"resource");
}

}  // namespace nolu
