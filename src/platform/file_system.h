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
  // Moves or renames a file or folder; an existing target is never replaced
  // (kErrorAlreadyExists).
  virtual uint32_t Move(StringView source, StringView target) = 0;
  // Schedules a move for the next restart of the system (MOVEFILE_DELAY_UNTIL_REBOOT); an
  // empty target schedules the deletion of `source`. Needs administrator rights.
  virtual uint32_t MoveOnReboot(StringView source, StringView target) = 0;

  // --- Folders.

  // Creates one folder; its parent must exist (kErrorPathNotFound), an existing folder or
  // file gives kErrorAlreadyExists.
  virtual uint32_t CreateFolder(StringView path) = 0;
  // Creates a folder with every missing parent. Success when the folder exists afterwards.
  uint32_t ForceFolders(StringView path);
  // Removes an empty folder (kErrorDirNotEmpty otherwise). A junction or symbolic link is
  // removed itself; its target is never touched.
  virtual uint32_t RemoveFolder(StringView path) = 0;

  // --- Names and places.

  // The user's temporary folder (GetTempPathW), ending with a backslash.
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
  // The process's current folder, without trailing backslash except for a drive root.
  virtual String CurrentFolder() = 0;
  virtual uint32_t SetCurrentFolder(StringView path) = 0;
};

// Opens a file or raises EFOpenError: "Cannot open file "%s". %s" (or "Cannot create
// file ..." for kCreate) with the system's text for the error.
std::unique_ptr<TStream> OpenFileOrRaise(StringView path, FileMode mode);

}  // namespace nolu
