#include "product/update/setup_backup_archive.h"

#include <memory>
#include <vector>

#include "base/buffered_stream.h"
#include "base/errors.h"
#include "base/format.h"
#include "base/locale.h"
#include "base/path.h"
#include "base/zip_writer.h"
#include "core/setup_file_list.h"
#include "platform/error_codes.h"
#include "platform/platform.h"
#include "resources/installer_errors.h"

namespace nolu {
namespace {

// The size of a file as its folder lists it (for a file that could not be opened); -1 when it
// cannot be found.
int64_t ListedSize(StringView path) {
  std::vector<TFileEntry> entries;
  CurrentPlatform().Files().ListFolder(ExtractFilePath(path), entries);
  const String name = ExtractFileName(path);
  for (const TFileEntry& entry : entries) {
    if (!entry.IsFolder() && EqualsIgnoreCase(entry.Name, name)) {
      return static_cast<int64_t>(entry.Size);
    }
  }
  return -1;
}

[[noreturn]] void RaiseBackupError(StringView path, int64_t size, StringView message,
                                   uint32_t code) {
  const String system_text = CurrentPlatform().System().SysErrorMessage(code);
  throw EInstallerBackupError(Format(TSetupBackupArchive::kErrorFormat,
                                     {String(path), size, String(message), system_text}));
}

void AddFile(TZipWriter& writer, const TSetupFileListItem& item) {
  IFileSystem& files = CurrentPlatform().Files();
  TOpenResult source = files.OpenFile(item.Source, FileMode::kOpenRead);
  if (!source.Stream) {
    const String reason = CurrentPlatform().System().SysErrorMessage(source.Error);
    RaiseBackupError(item.Source, ListedSize(item.Source),
                     Format(u"Cannot open file \"%s\". %s", {item.Source, reason}), source.Error);
  }
  int64_t size = -1;
  try {
    size = source.Stream->Size();
    writer.AddEntry(item.Target, *source.Stream);
  } catch (const EOSError& e) {
    RaiseBackupError(item.Source, size, e.Message(), e.ErrorCode());
  } catch (const Exception& e) {
    RaiseBackupError(item.Source, size, e.Message(), kErrorSuccess);
  }
}

}  // namespace

void TSetupBackupArchive::Write(StringView path, const TSetupFileList& files, const TDateTime& time,
                                const std::function<void()>& on_file_added) {
  const TZipTime zip_time =
      TZipTime::FromLocalTime(time.Year, time.Month, time.Day, time.Hour, time.Minute, time.Second);
  auto archive = std::make_unique<TBufferedStream>(OpenFileOrRaise(path, FileMode::kCreate));
  try {
    TZipWriter writer(*archive, zip_time);
    for (const TSetupFileListItem& item : files.All()) {
      AddFile(writer, item);
      if (on_file_added) on_file_added();
    }
    writer.Finish();
  } catch (...) {
    archive.reset();  // closed first: an open file cannot be deleted
    CurrentPlatform().Files().Delete(path);
    throw;
  }
}

}  // namespace nolu
