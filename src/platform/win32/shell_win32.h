// TWin32Shell: IShell on the Windows shell (SHGetSpecialFolderPathW, ShellExecuteExW,
// IShellLinkW with IPersistFile, SHChangeNotify). Shell links may be made on any thread: the
// calls initialise COM for the calling thread when it has not been.
#pragma once

#include "platform/shell.h"

namespace nolu {

class TWin32Shell : public IShell {
 public:
  bool SpecialFolder(Csidl folder, String& path) override;
  TStartResult Execute(const TShellExecuteInfo& info) override;
  uint32_t ShellOpen(StringView verb, StringView file, StringView parameters, StringView folder,
                     int show) override;
  uint32_t CreateShellLink(StringView link_path, const TShellLink& link) override;
  uint32_t ReadShellLink(StringView link_path, TShellLink& link) override;
  void ChangeNotify(uint32_t event, uint32_t flags) override;
};

}  // namespace nolu
