#include "core/file_operations.h"

#include "base/errors.h"
#include "base/path.h"
#include "core/setup.h"
#include "platform/error_codes.h"
#include "platform/platform.h"

namespace nolu {

void AddError(StringView text) {
  TSetup* setup = Setup();
  if (!setup) throw EInvalidOperation(u"No setup object exists");
  setup->Errors().emplace_back(text);
}

void DeleteOnReboot(StringView path) {
  CurrentPlatform().Files().MoveOnReboot(path, u"");  // best effort: the result is ignored
}

void DeleteFileOrDefer(StringView path) {
  IFileSystem& files = CurrentPlatform().Files();
  if (!files.FileExists(path)) return;
  files.SetAttributes(path, 0);
  if (files.Delete(path) == kErrorSuccess) return;
  // In use: move it out of the way under a fresh name and delete that at the next restart.
  String aside;
  if (files.TempFileName(files.TempFolder(), u"delete", aside) != kErrorSuccess) return;
  if (files.FileExists(aside)) files.Delete(aside);
  if (files.Move(path, aside) == kErrorSuccess) DeleteOnReboot(aside);
}

void RunAndWait(StringView command_line, StringView folder) {
  TPlatform& platform = CurrentPlatform();
  TStartResult started = platform.Processes().StartProcess(command_line, kSwShow, folder);
  if (!started.Process) return;
  IMessageChannel& channel = platform.Messages();
  if (channel.IsMainThread()) {
    channel.WaitDispatching(*started.Process);
  } else {
    started.Process->Wait(kInfinite);
  }
}

void CopyFileOrRaise(StringView source, StringView target) {
  TPlatform& platform = CurrentPlatform();
  const uint32_t error = platform.Files().Copy(source, target, /*fail_if_exists=*/false);
  if (error != kErrorSuccess) {
    throw EOSError(error, platform.System().SysErrorMessage(error),
                   String(source) + u" -> " + String(target));
  }
}

}  // namespace nolu
