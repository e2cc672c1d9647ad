#include "core/held_file.h"

#include <vector>

#include "base/errors.h"
#include "base/format.h"
#include "platform/error_codes.h"
#include "platform/platform.h"
#include "resources/installer_errors.h"

namespace nolu {
namespace {

[[noreturn]] void Fail(uint32_t code, StringView what) {
  throw EOSError(code, CurrentPlatform().System().SysErrorMessage(code), what);
}

}  // namespace

THeldFile THeldFile::Copy(StringView source, StringView target) {
  const String what = String(source) + u" -> " + String(target);
  TOpenResult opened = CurrentPlatform().Files().OpenFile(source, FileMode::kOpenRead);
  if (!opened.Stream) Fail(opened.Error, what);
  return WriteHeld(*opened.Stream, target, what);
}

THeldFile THeldFile::Write(TStream& data, StringView target) {
  return WriteHeld(data, target, target);
}

THeldFile THeldFile::WriteHeld(TStream& data, StringView target, StringView what) {
  IFileSystem& files = CurrentPlatform().Files();
  TOpenResult created = files.OpenFile(target, FileMode::kCreateNew);
  if (!created.Stream) Fail(created.Error, what);

  std::vector<uint8_t> buffer(TStream::kCopyChunk);
  std::unique_ptr<TStream> hold;
  uint32_t error = kErrorSuccess;
  bool changed = false;
  try {
    const int64_t start = data.Position();
    for (size_t n; (n = data.Read(buffer.data(), buffer.size())) > 0;)
      created.Stream->WriteBuffer(buffer.data(), n);
    created.Stream->Flush();
    created.Stream.reset();
    TOpenResult held = files.OpenFile(target, FileMode::kOpenReadDenyWrite);
    error = held.Error;
    if (held.Stream) {
      // Compared with the source read again: both are at hand, and a program of 24 MiB is
      // compared in half the time that checksumming it twice took.
      data.Seek(start, SeekOrigin::kBegin);
      changed = !held.Stream->SameRemainingContent(data);
      held.Stream->Seek(0, SeekOrigin::kBegin);
      hold = std::move(held.Stream);
    }
  } catch (const EOSError& e) {
    error = e.ErrorCode();
  } catch (...) {
    created.Stream.reset();
    files.Delete(target);  // ours: nothing half written may stay
    throw;
  }
  if (hold && !changed) return THeldFile(String(target), std::move(hold));

  created.Stream.reset();
  hold.reset();
  files.Delete(target);
  if (changed) {
    throw EInstallerGeneralError(
        Format(u"\"%s\" was changed by another program while the setup wrote it", {target}));
  }
  Fail(error, what);
}

}  // namespace nolu
