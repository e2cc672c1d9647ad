#include "core/product_folder.h"

#include "base/path.h"
#include "platform/error_codes.h"
#include "platform/platform.h"

namespace nolu {

TFolderAccess ProductFolderAccess(StringView dest, bool portable) {
  if (portable) return TFolderAccess::kInherited;
  IShell& shell = CurrentPlatform().Shell();
  const String folder = IncludeTrailingBackslash(dest);
  for (Csidl program_files : {Csidl::kProgramFiles, Csidl::kProgramFilesX86}) {
    String path;
    if (shell.SpecialFolder(program_files, path) &&
        PathStartsWith(folder, IncludeTrailingBackslash(path))) {
      return TFolderAccess::kInherited;
    }
  }
  return TFolderAccess::kProgramFiles;
}

void CreateProductFolder(StringView dest, bool portable) {
  IFileSystem& files = CurrentPlatform().Files();
  const String folder = ExcludeTrailingBackslash(dest);
  if (folder.empty() || files.FolderExists(IncludeTrailingBackslash(folder))) return;
  const String parent = ExtractFilePath(folder);
  // A drive's root has no parent to make, and no access list of ours.
  if (parent.empty() || parent.size() >= folder.size()) return;
  if (files.ForceFolders(parent) != kErrorSuccess) return;
  files.CreateFolder(folder, ProductFolderAccess(dest, portable));
}

}  // namespace nolu
