#include "core/uninstaller_copy.h"

#include <optional>

#include "base/format.h"
#include "base/path.h"
#include "core/file_operations.h"
#include "core/private_temp_folder.h"
#include "platform/platform.h"

namespace nolu {

TUninstallerCopy TUninstallerCopy::Create(StringView program) {
  IFileSystem& files = CurrentPlatform().Files();
  const String folder = CreatePrivateTempFolder();
  const String data = ChangeFileExt(program, u".dat");
  std::optional<THeldFile> program_copy;
  try {
    program_copy = THeldFile::Copy(program, folder + ExtractFileName(program));
    THeldFile data_copy = THeldFile::Copy(data, folder + ExtractFileName(data));
    // Deleted in this order: a folder goes only once it is empty.
    DeleteOnReboot(program_copy->Path());
    DeleteOnReboot(data_copy.Path());
    DeleteOnReboot(ExcludeTrailingBackslash(folder));
    return TUninstallerCopy(folder, std::move(*program_copy), std::move(data_copy));
  } catch (...) {
    // Nothing runs from the folder yet: it goes at once.
    if (program_copy) {
      const String path = program_copy->Path();
      program_copy.reset();
      files.Delete(path);
    }
    files.RemoveFolder(folder);
    throw;
  }
}

TStartResult TUninstallerCopy::Start(StringView product_folder, StringView params) {
  const String command_line =
      Format(u"\"%s\" /%s=\"%s\" %s", {Program(), u"PATH", String(product_folder), String(params)});
  TStartResult started = CurrentPlatform().Processes().StartProcess(command_line, kSwShow, folder_);
  program_.Release();
  data_.Release();
  return started;
}

}  // namespace nolu
