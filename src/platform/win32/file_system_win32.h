// TWin32FileSystem: IFileSystem on the Windows file functions (CreateFileW, CopyFileW,
// MoveFileExW, FindFirstFileExW, ...), with every path passed through the "\\?\" rule.
#pragma once

#include "platform/file_system.h"

namespace nolu {

class TWin32FileSystem : public IFileSystem {
 public:
  uint32_t Attributes(StringView path) override;
  uint32_t ListFolder(StringView folder, std::vector<TFileEntry>& entries) override;
  TOpenResult OpenFile(StringView path, FileMode mode) override;
  uint32_t SetAttributes(StringView path, uint32_t attributes) override;
  uint32_t Delete(StringView path) override;
  uint32_t Copy(StringView source, StringView target, bool fail_if_exists) override;
  uint32_t Move(StringView source, StringView target) override;
  uint32_t Replace(StringView source, StringView target) override;
  uint32_t MoveOnReboot(StringView source, StringView target) override;
  using IFileSystem::CreateFolder;
  uint32_t CreateFolder(StringView path, TFolderAccess access) override;
  uint32_t RemoveFolder(StringView path) override;
  uint32_t HoldFolder(StringView path, std::unique_ptr<THeldFolder>& held) override;
  uint32_t SetFolderAccess(StringView path, TFolderAccess access) override;
  uint32_t ReadAccessList(StringView path, TAccessList& list) override;
  String TempFolder() override;
  uint32_t TempFileName(StringView folder, StringView prefix, String& path) override;
  uint32_t FullPathName(StringView path, String& full) override;
  uint32_t LongPathName(StringView path, String& long_path) override;
  uint32_t FinalPathName(StringView path, String& final_path) override;
  String CurrentFolder() override;
  uint32_t SetCurrentFolder(StringView path) override;
};

}  // namespace nolu
