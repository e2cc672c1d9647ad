// IFileSystem: files and folders of the machine, in Windows path text.
//
// Paths are Windows paths in text form ("C:\Program Files\Nolu\Nolu.exe") in both
// implementations; names compare without regard to case. Paths of any length are accepted:
// the Win32 implementation applies the "\\?\" rule of base/path.h itself.
//
// Mutating calls return the Windows error code of their failure (kErrorSuccess = 0 on
// success; codes in platform/error_codes.h), so there is no hidden "last error" to race for
// between threads. Queries that cannot fail in a way the engine cares about return values.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "base/file_stream.h"
#include "base/stream.h"
#include "base/text.h"

namespace nolu {

// File attribute bits, with the values of the Windows API.
inline constexpr uint32_t kAttrReadOnly = 0x1;
inline constexpr uint32_t kAttrHidden = 0x2;
inline constexpr uint32_t kAttrSystem = 0x4;
inline constexpr uint32_t kAttrDirectory = 0x10;
inline constexpr uint32_t kAttrArchive = 0x20;
inline constexpr uint32_t kAttrNormal = 0x80;
inline constexpr uint32_t kAttrTemporary = 0x100;
// A junction or symbolic link: folder removal must not follow it out of the tree.
inline constexpr uint32_t kAttrReparsePoint = 0x400;
// The attribute value of a path that does not exist (INVALID_FILE_ATTRIBUTES).
inline constexpr uint32_t kInvalidAttributes = 0xFFFFFFFF;

// One entry of a folder listing.
struct TFileEntry {
  String Name;  // file or folder name, no path
  uint32_t Attributes = 0;
  uint64_t Size = 0;  // bytes; 0 for folders

  bool IsFolder() const { return (Attributes & kAttrDirectory) != 0; }
};

// Result of OpenFile: a stream, or the Windows error code of the failure.
struct TOpenResult {
  std::unique_ptr<TStream> Stream;
  uint32_t Error = 0;
};

// Who may use a folder that the setup makes: the access list it is created with.
enum class TFolderAccess {
  kInherited,       // what the parent folder passes on
  kAdministrators,  // SYSTEM and Administrators full control, nobody else, nothing inherited
  kProgramFiles,    // as the program-files folders: SYSTEM and Administrators full control,
                    // Users read and execute, nothing inherited
};

// Security identifiers and access masks of the lists above, as the security API reads them.
inline constexpr StringView kSidSystem = u"S-1-5-18";
inline constexpr StringView kSidAdministrators = u"S-1-5-32-544";
inline constexpr StringView kSidUsers = u"S-1-5-32-545";
inline constexpr uint32_t kAccessFullControl = 0x1F01FF;  // FILE_ALL_ACCESS
inline constexpr uint32_t kAccessReadExecute = 0x1200A9;  // FILE_GENERIC_READ | _EXECUTE
// Entry flags: the entry passes on to files and folders below, or came from above.
inline constexpr uint32_t kAceObjectInherit = 0x1;
inline constexpr uint32_t kAceContainerInherit = 0x2;
inline constexpr uint32_t kAceInherited = 0x10;

// One entry of a folder's access list.
struct TAccessEntry {
  String Sid;  // "S-1-5-18"
  uint32_t Mask = 0;
  uint32_t Flags = 0;   // kAce* bits
  bool Allowed = true;  // an allowing entry; false: a denying one

  friend bool operator==(const TAccessEntry&, const TAccessEntry&) = default;
};

struct TAccessList {
  bool Protected = false;  // nothing is inherited from the parent folder
  std::vector<TAccessEntry> Entries;

  friend bool operator==(const TAccessList&, const TAccessList&) = default;
};

// The list a folder created with `access` carries (empty and unprotected for kInherited).
TAccessList AccessListOf(TFolderAccess access);

// A folder held open by HoldFolder. While the object lives, nobody can rename, move or delete
// the folder, or put a link in its place; what is inside can still be created and deleted. So
// a path through held folders names the folders that were checked when they were held.
class THeldFolder {
 public:
  virtual ~THeldFolder() = default;
};

class IFileSystem {
 public:
  virtual ~IFileSystem() = default;

  // --- Queries.

  // The attributes of a file or folder, kInvalidAttributes when it does not exist or cannot
  // be reached.
  virtual uint32_t Attributes(StringView path) = 0;
  // A file exists (not a folder).
  bool FileExists(StringView path);
  // A folder exists (a trailing backslash is allowed).
  bool FolderExists(StringView path);

  // Lists the files and folders directly in `folder` (with or without trailing backslash) in
  // the order the file system gives them, without "." and "..". Returns the error code; the
  // list is empty on failure (kErrorPathNotFound for a missing folder).
  virtual uint32_t ListFolder(StringView folder, std::vector<TFileEntry>& entries) = 0;

  // --- Files.

  // Opens a file as a stream. kOpenRead shares reading, writing and deletion with everyone,
  // so files that other programs hold open for writing can be read. kOpenReadWrite opens an
  // existing file for reading and writing and lets others read. kCreate creates the file or
  // truncates an existing one, for reading and writing, without sharing. kAppend opens or
  // creates a file whose every write lands at its end, even while other handles (other
  // processes) append to it too, and shares reading and writing; kAppendNew does the same
  // for a file that must not exist yet (kErrorFileExists). On failure the result holds no
  // stream and the Windows error (kErrorSharingViolation 32 for a file in use,
  // kErrorAccessDenied 5, kErrorPathNotFound 3 for a missing folder, ...).
  //
  // A read or write failure of the stream raises EOSError with the system's code and text
  // and the file's path as additional text (for example 112, the disk is full).
  virtual TOpenResult OpenFile(StringView path, FileMode mode) = 0;

  // Sets the attributes of a file or folder (kAttrNormal or 0 clears them all).
  virtual uint32_t SetAttributes(StringView path, uint32_t attributes) = 0;
  // Deletes a file (not a folder). A read-only file is not deleted (kErrorAccessDenied).
  virtual uint32_t Delete(StringView path) = 0;
  // Copies a file. With `fail_if_exists` an existing target gives kErrorFileExists; without,
  // it is overwritten (unless it is read-only: kErrorAccessDenied).
  virtual uint32_t Copy(StringView source, StringView target, bool fail_if_exists) = 0;
  // Moves or renames a file or folder on its volume; an existing target is never replaced
  // (kErrorAlreadyExists). Another volume gives kErrorNotSameDevice: nothing is copied, so a
  // move never reports success while the original stays where it was.
  virtual uint32_t Move(StringView source, StringView target) = 0;
  // Moves the file `source` onto `target` in one step, replacing a file there
  // (MOVEFILE_REPLACE_EXISTING, written through): whatever happens, `target` is afterwards
  // either the file it was or `source`, never missing. A folder, a read-only file or a file in
  // use at `target` is not replaced (kErrorAccessDenied, or the holder's sharing violation).
  virtual uint32_t Replace(StringView source, StringView target) = 0;
  // Schedules a move for the next restart of the system (MOVEFILE_DELAY_UNTIL_REBOOT); an
  // empty target schedules the deletion of `source`. Needs administrator rights.
  virtual uint32_t MoveOnReboot(StringView source, StringView target) = 0;

  // --- Folders.

  // Creates one folder; its parent must exist (kErrorPathNotFound), an existing folder or
  // file gives kErrorAlreadyExists. The folder gets its access list as it is created, so it
  // is never open to anyone else, not even for a moment.
  virtual uint32_t CreateFolder(StringView path, TFolderAccess access) = 0;
  uint32_t CreateFolder(StringView path) { return CreateFolder(path, TFolderAccess::kInherited); }
  // Creates a folder with every missing parent. Success when the folder exists afterwards.
  uint32_t ForceFolders(StringView path);
  // Removes an empty folder (kErrorDirNotEmpty otherwise). A junction or symbolic link is
  // removed itself; its target is never touched.
  virtual uint32_t RemoveFolder(StringView path) = 0;

  // Opens the folder `path` without following a junction or symbolic link at its last
  // component and holds it (see THeldFolder). kErrorReparsePoint when that component is a
  // link, kErrorDirectory when it is a file, kErrorFileNotFound or kErrorPathNotFound when it
  // is missing. Earlier components are followed as usual: hold them first to rule links out.
  virtual uint32_t HoldFolder(StringView path, std::unique_ptr<THeldFolder>& held) = 0;

  // --- Access lists.

  // Replaces the access list of an existing folder with that of `access` (kInherited: the
  // parent's again); what lies below inherits the new list.
  virtual uint32_t SetFolderAccess(StringView path, TFolderAccess access) = 0;
  // The access list of a file or folder as the security API reads it back.
  virtual uint32_t ReadAccessList(StringView path, TAccessList& list) = 0;

  // --- Names and places.

  // The temporary folder (GetTempPath2W where the system has it, which gives processes of
  // SYSTEM a folder of their own; else GetTempPathW), ending with a backslash.
  virtual String TempFolder() = 0;
  // GetTempFileNameW semantics: creates an empty, unique file "<prefix><hex>.tmp" in
  // `folder` (only the first three characters of the prefix are used) and stores its full
  // path in `path`.
  virtual uint32_t TempFileName(StringView folder, StringView prefix, String& path) = 0;
  // GetFullPathNameW: the absolute form of `path` relative to the current folder, with "."
  // and ".." resolved. The file need not exist.
  virtual uint32_t FullPathName(StringView path, String& full) = 0;
  // GetLongPathNameW: every component of an existing path in its long form (8.3 aliases such
  // as "PROGRA~1" expanded). kErrorFileNotFound when the path does not exist.
  virtual uint32_t LongPathName(StringView path, String& long_path) = 0;
  // GetFinalPathNameByHandleW of an existing file or folder: its full path with every
  // junction and symbolic link on the way followed ("C:\Documents and Settings\User" gives
  // "C:\Users\User"), a drive letter and no "\\?\" prefix; a trailing backslash stays.
  virtual uint32_t FinalPathName(StringView path, String& final_path) = 0;
  // The process's current folder, without trailing backslash except for a drive root.
  virtual String CurrentFolder() = 0;
  virtual uint32_t SetCurrentFolder(StringView path) = 0;
};

// Opens a file or raises EFOpenError: "Cannot open file "%s". %s" (or "Cannot create
// file ..." for kCreate) with the system's text for the error.
std::unique_ptr<TStream> OpenFileOrRaise(StringView path, FileMode mode);

}  // namespace nolu
