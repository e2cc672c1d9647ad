// TFakeShell: special folders a test can change, recorded shell starts, and shell links kept
// as files of the fake file system.
//
// Execute and ShellOpen record a TFakeLaunch (in TFakeProcesses) and start the program
// there; a verb can be made to fail ("runas" with kErrorCancelled: the user declined the
// elevation prompt). Links are written as small text files at their path, so deleting,
// moving and listing them goes through the file system like any file; a file that is not
// such a link does not read as one.
#pragma once

#include <map>
#include <mutex>
#include <vector>

#include "platform/fake/fake_processes.h"
#include "platform/file_system.h"
#include "platform/shell.h"

namespace nolu {

struct TFakeChangeNotify {
  uint32_t Event = 0;
  uint32_t Flags = 0;
};

class TFakeShell : public IShell {
 public:
  // The folders of one user "User" on drive C: (see the .cpp for the table).
  TFakeShell(IFileSystem& files, TFakeProcesses& processes);

  bool SpecialFolder(Csidl folder, String& path) override;
  TStartResult Execute(const TShellExecuteInfo& info) override;
  uint32_t ShellOpen(StringView verb, StringView file, StringView parameters, StringView folder,
                     int show) override;
  uint32_t CreateShellLink(StringView link_path, const TShellLink& link) override;
  uint32_t ReadShellLink(StringView link_path, TShellLink& link) override;
  void ChangeNotify(uint32_t event, uint32_t flags) override;

  // An empty path makes the shell unable to name the folder.
  void SetSpecialFolder(Csidl folder, StringView path);
  std::map<Csidl, String> SpecialFolders();
  // Starts with this verb (compared without regard to case) fail with `error`.
  void FailVerb(StringView verb, uint32_t error);
  std::vector<TFakeChangeNotify> ChangeNotifications();

 private:
  uint32_t VerbError(StringView verb);
  TStartResult Start(TFakeLaunch::Via how, const TShellExecuteInfo& info);

  IFileSystem& files_;
  TFakeProcesses& processes_;
  std::mutex mutex_;
  std::map<Csidl, String> folders_;
  std::vector<std::pair<String, uint32_t>> verb_failures_;
  std::vector<TFakeChangeNotify> notifications_;
};

}  // namespace nolu
