#include "platform/fake/fake_platform.h"

#include "base/errors.h"

namespace nolu {
namespace {
[[noreturn]] void NotYet(const char16_t* service) {
  throw EInvalidOperation(String(u"The fake platform has no ") + service + u" service yet");
}
}  // namespace

TFakePlatform::TFakePlatform() = default;
TFakePlatform::~TFakePlatform() = default;

IRegistry& TFakePlatform::Registry() {
  NotYet(u"registry");
}
IShell& TFakePlatform::Shell() {
  NotYet(u"shell");
}
IProcesses& TFakePlatform::Processes() {
  NotYet(u"process");
}
IDesktopWindows& TFakePlatform::Windows() {
  NotYet(u"window");
}
IMessageChannel& TFakePlatform::Messages() {
  NotYet(u"message channel");
}
IMessageBox& TFakePlatform::Dialogs() {
  NotYet(u"message box");
}
IModuleResources& TFakePlatform::Resources() {
  NotYet(u"resource");
}

}  // namespace nolu
