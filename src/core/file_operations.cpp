#include "core/file_operations.h"

#include "base/errors.h"
#include "base/path.h"
#include "core/setup.h"
#include "platform/error_codes.h"
#include "platform/platform.h"

namespace nolu {
namespace {

// Moves `path` to a fresh name in `folder`, returned in `aside`, and schedules that for
// deletion at the next restart; false, with nothing left behind, when the move fails.
bool RenameAside(IFileSystem& files, StringView path, StringView folder, String& aside) {
  if (files.TempFileName(folder, u"delete", aside) != kErrorSuccess) return false;
  files.Delete(aside);  // made empty by TempFileName; a move never replaces a file
  if (files.Move(path, aside) != kErrorSuccess) return false;
  DeleteOnReboot(aside);
  return true;
}

}  // namespace

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
  DeleteFileOrDefer(path, kAttrReadOnly);
}

void DeleteFileOrDefer(StringView path, uint32_t attributes) {
  IFileSystem& files = CurrentPlatform().Files();
  if (attributes & kAttrReadOnly) files.SetAttributes(path, 0);
  if (files.Delete(path) == kErrorSuccess) return;
  // In use. Renamed aside, it frees its name for a new file at once and goes at the next
  // restart. A rename stays on its volume, so the temporary folder serves only when it lies
  // on the file's one; the file's own folder always does.
  TSetup* setup = Setup();
  for (const String& folder : {files.TempFolder(), ExtractFilePath(path)}) {
    String aside;
    if (RenameAside(files, path, folder, aside)) {
      if (setup) setup->NoteDeferredDeletion(path, aside);
      return;
    }
  }
  // Neither deleted nor renamed: the file itself goes at the next restart.
  DeleteOnReboot(path);
  if (setup) setup->NoteDeferredDeletion(path, u"");
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
