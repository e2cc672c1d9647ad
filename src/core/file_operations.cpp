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
  if (files.Move(path, aside) != kErrorSuccess) return;
  DeleteOnReboot(aside);
  if (TSetup* setup = Setup()) setup->NoteDeferredDeletion(path, aside);
}

void RunAndWait(StringView command_line) {
  TPlatform& platform = CurrentPlatform();
  TStartResult started = platform.Processes().StartProcess(command_line, kSwShow, u"");
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

String CopyToTempFolder(StringView source) {
  IFileSystem& files = CurrentPlatform().Files();
  const String target = IncludeTrailingBackslash(files.TempFolder()) + ExtractFileName(source);
  // An earlier copy may be read-only; it is overwritten all the same.
  if (files.Attributes(target) != kInvalidAttributes) files.SetAttributes(target, 0);
  CopyFileOrRaise(source, target);
  DeleteOnReboot(target);
  return target;
}

}  // namespace nolu
