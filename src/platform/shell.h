// IShell: the Windows shell: special folders, opening and elevating programs, shell links
// and change notifications.
#pragma once

#include <cstdint>
#include <memory>

#include "base/text.h"
#include "platform/processes.h"

namespace nolu {

// Special folders, with their CSIDL values; the downloads folders have none and are known
// folders of the shell (FOLDERID_Downloads, FOLDERID_PublicDownloads).
enum class Csidl : int {
  kDesktop = 0x0000,
  kPrograms = 0x0002,  // the current user's start menu programs
  kPersonal = 0x0005,  // the current user's documents
  kStartMenu = 0x000b,
  kMyMusic = 0x000d,
  kMyVideo = 0x000e,
  kDesktopDirectory = 0x0010,
  kCommonStartMenu = 0x0016,
  kCommonPrograms = 0x0017,
  kCommonDesktopDirectory = 0x0019,
  kAppData = 0x001a,
  kLocalAppData = 0x001c,
  kCommonAppData = 0x0023,
  kWindows = 0x0024,
  kSystem = 0x0025,
  kProgramFiles = 0x0026,
  kMyPictures = 0x0027,
  kProfile = 0x0028,
  kSystemX86 = 0x0029,
  kProgramFilesX86 = 0x002a,
  kCommonDocuments = 0x002e,
  kCommonMusic = 0x0035,
  kCommonPictures = 0x0036,
  kCommonVideo = 0x0037,
  kDownloads = 0x1000,
  kCommonDownloads = 0x1001,
};

// SHChangeNotify event and flag values used by the setup.
inline constexpr uint32_t kShcneAssocChanged = 0x08000000;
inline constexpr uint32_t kShcnfFlush = 0x1000;

// What ShellExecuteEx is asked to do. The call always requests the process handle, waits for
// the shell's own start-up work (no asynchronous DDE), shows no error dialogs and skips the
// zone checks of downloaded files (mask 0x800540).
struct TShellExecuteInfo {
  String Verb;  // "runas" to elevate; empty for the default verb
  String File;
  String Parameters;
  String Folder;  // working folder; empty for the current one
  int Show = kSwShowNormal;
};

struct TShellLink {
  String Target;
  String Arguments;
  String WorkingFolder;
  String Description;
};

class IShell {
 public:
  virtual ~IShell() = default;

  // The path of a special folder, ending with a backslash, without creating it; false when
  // the system has no such folder.
  virtual bool SpecialFolder(Csidl folder, String& path) = 0;

  // ShellExecuteExW. On success the result holds the started process (it may hold none when
  // the shell handed the file to a program that was already running). kErrorCancelled (1223)
  // when the user declined the elevation prompt.
  virtual TStartResult Execute(const TShellExecuteInfo& info) = 0;
  // ShellExecuteW without waiting and without a process handle; the error code (0: started).
  virtual uint32_t ShellOpen(StringView verb, StringView file, StringView parameters,
                             StringView folder, int show) = 0;

  // Writes a shell link file (IShellLinkW + IPersistFile), replacing an existing one.
  virtual uint32_t CreateShellLink(StringView link_path, const TShellLink& link) = 0;
  // Reads a shell link file.
  virtual uint32_t ReadShellLink(StringView link_path, TShellLink& link) = 0;

  // SHChangeNotify without items.
  virtual void ChangeNotify(uint32_t event, uint32_t flags) = 0;
};

}  // namespace nolu
