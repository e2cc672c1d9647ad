#include "platform/file_system.h"

#include "base/errors.h"
#include "base/format.h"
#include "base/path.h"
#include "platform/error_codes.h"
#include "platform/platform.h"

namespace nolu {

bool IFileSystem::FileExists(StringView path) {
  const uint32_t attributes = Attributes(path);
  return attributes != kInvalidAttributes && (attributes & kAttrDirectory) == 0;
}

bool IFileSystem::FolderExists(StringView path) {
  const uint32_t attributes = Attributes(path);
  return attributes != kInvalidAttributes && (attributes & kAttrDirectory) != 0;
}

uint32_t IFileSystem::ForceFolders(StringView path) {
  const String folder = ExcludeTrailingBackslash(path);
  if (folder.empty()) return kErrorPathNotFound;
  if (FolderExists(IncludeTrailingBackslash(folder))) return kErrorSuccess;
  // Parents first; their failures show up as the failure of the last step.
  const String parent = ExcludeTrailingBackslash(ExtractFilePath(folder));
  if (!parent.empty() && parent.size() < folder.size()) ForceFolders(parent);
  const uint32_t error = CreateFolder(folder);
  // Another thread or program may have created it in the meantime.
  if (error == kErrorAlreadyExists && FolderExists(folder)) return kErrorSuccess;
  return error;
}

std::unique_ptr<TStream> OpenFileOrRaise(StringView path, FileMode mode) {
  TPlatform& platform = CurrentPlatform();
  TOpenResult result = platform.Files().OpenFile(path, mode);
  if (result.Stream) return std::move(result.Stream);
  const String reason = platform.System().SysErrorMessage(result.Error);
  throw EFOpenError(Format(mode == FileMode::kCreate || mode == FileMode::kAppendNew
                               ? u"Cannot create file \"%s\". %s"
                               : u"Cannot open file \"%s\". %s",
                           {String(path), reason}));
}

}  // namespace nolu
