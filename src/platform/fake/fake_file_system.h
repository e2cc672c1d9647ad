// TFakeFileSystem: an in-memory Windows file system for engine tests.
//
// Drives ("C:") and server shares ("\\server\share") hold folders and files whose names
// compare without regard to case (EqualsIgnoreCase) and keep the spelling they were created
// with. Folders list their entries sorted by upper-case name, as NTFS does. Paths may be
// relative (to the current folder), use "/" or the "\\?\" prefix, and contain "." and "..";
// trailing dots and blanks of a component are dropped, as Windows does.
//
// Besides the IFileSystem contract it lets a test arrange the hard cases:
//   * files held open by another program (SetInUse): readable or not, writable or not,
//     deletable or not, renamable or not. Deleting a file that its holder lets others delete
//     only marks it, as Windows does: the name stays taken (every operation on it is denied)
//     until the hold ends (ClearInUse, SimulateReboot);
//   * a volume for every root: a move between two is refused (ERROR_NOT_SAME_DEVICE);
//   * read-only files and folders, junctions (kAttrReparsePoint: removing one never touches
//     what it holds), 8.3 aliases for LongPathName;
//   * junctions that lead to another folder (AddJunction): paths through them reach the
//     target, while Attributes, SetAttributes, Delete, Move, RemoveFolder and HoldFolder act
//     on the junction itself, as on Windows; a user who swaps a folder for one at the worst
//     moment (ReplaceWithJunction), which a held folder refuses;
//   * the access list a folder was created or set with (ReadAccessList reads it back, and what
//     the folders below inherit);
//   * a full disk after N more bytes (SetWriteBudget), access denied below a path
//     (DenyAccess), and the failure of one operation on one path or on any (InjectFailure);
//   * pending reboot operations (RebootOperations) and a reboot that carries them out;
//     MoveOnReboot needs no rights here: InjectFailure(kMoveOnReboot, path, 5) plays a user
//     without them.
// Streams opened here share the file's bytes: a second handle sees what the first wrote, and
// the Windows sharing rules of the FileModes are enforced between handles.
//
// Thread-safe: the worker thread and the test may use it at the same time. Close every stream
// and release every held folder before the file system is destroyed.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace nolu {

// How a file is held open by another program.
struct TFakeFileLock {
  bool Readable = true;    // others may read it (its holder shares reading)
  bool Writable = false;   // others may open it for writing
  bool Deletable = false;  // Delete succeeds (the holder shares deletion)
  bool Renamable = false;  // Move succeeds (a loaded program file can be renamed)
  uint32_t Error = 32;     // the code a refused operation returns (sharing violation)
};

// Operations whose failure a test can inject.
enum class FakeFileOp {
  kAttributes,  // Attributes gives kInvalidAttributes: a path that cannot be reached
  kOpenRead,    // OpenFile with kOpenRead
  kOpenWrite,   // OpenFile with any mode that writes
  kRead,        // a Read of an open stream (raises EOSError)
  kWrite,       // a Write of an open stream (raises EOSError)
  kDelete,
  kCopy,  // matches the source or the target
  kMove,  // Move and Replace; matches the source or the target
  kMoveOnReboot,
  kSetAttributes,
  kCreateFolder,
  kRemoveFolder,
  kListFolder,
  kTempFileName,  // matches the folder
  kSetCurrentFolder,
  kHoldFolder,
  kSetFolderAccess,
};

struct TRebootOperation {
  String Source;  // full path
  String Target;  // full path; empty: delete Source

  friend bool operator==(const TRebootOperation&, const TRebootOperation&) = default;
};

class TFakeFileSystem : public IFileSystem {
 public:
  // One drive "C:" with the folders of the temporary folder and the current folder "C:\".
  TFakeFileSystem();
  ~TFakeFileSystem() override;

  // --- IFileSystem.
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

  // --- Arranging a test. These raise EInvalidOperation on paths they cannot create.

  // A drive ("D:") or server share ("\\server\share").
  void AddDrive(StringView root);
  // A file with its parents; an existing file is replaced.
  void AddFile(StringView path, std::string_view content = {}, uint32_t attributes = kAttrArchive);
  void AddFile(StringView path, const Bytes& content, uint32_t attributes = kAttrArchive);
  // A folder with its parents. kAttrReparsePoint makes it a junction that leads nowhere and
  // holds what is added below it.
  void AddFolder(StringView path, uint32_t attributes = kAttrDirectory);
  // A junction at `path` (its parents are created) that leads to the folder `target`, which
  // need not exist: paths below it reach the target's entries, as "C:\Documents and
  // Settings\" leads to "C:\Users\". Removing the junction leaves the target alone.
  void AddJunction(StringView path, StringView target);
  // What a user who may write the parent folder can do at any moment: renames the folder
  // `path` to "<name>.swapped" and puts a junction to `target` in its place. Returns the
  // error of the rename (kErrorSharingViolation while the folder or one below it is held),
  // and then changes nothing.
  uint32_t ReplaceWithJunction(StringView path, StringView target);
  // An 8.3 alias of an existing file or folder ("PROGRA~1"), found by every lookup.
  void SetShortName(StringView path, StringView short_name);
  // Another program holds the file (or folder) open; ClearInUse lets it go.
  void SetInUse(StringView path, const TFakeFileLock& lock = {});
  void ClearInUse(StringView path);
  // Every operation on the path and below it except Attributes gives kErrorAccessDenied.
  void DenyAccess(StringView path);
  void AllowAccess(StringView path);
  // After `bytes` more bytes written (streams and copies), writes fail with kErrorDiskFull.
  void SetWriteBudget(uint64_t bytes);
  void ClearWriteBudget();
  // The next `times` calls of `op` on `path` (empty: any path) fail with `error`; a negative
  // count fails every call.
  void InjectFailure(FakeFileOp op, StringView path, uint32_t error, int times = 1);
  void ClearFailures();
  void SetTempFolder(StringView path);

  // --- Inspecting.

  // The content of a file, or none when it is not a file.
  std::optional<Bytes> FileBytes(StringView path);
  // The content as UTF-8/byte text (convenient for small test files); empty when missing.
  std::string FileText(StringView path);
  // Full paths of every file and folder below `folder` (folders end with "\"), depth first in
  // listing order. Junctions are listed but not entered.
  StringList ListTree(StringView folder);
  // Streams opened through OpenFile and not yet destroyed.
  int OpenStreamCount();
  std::vector<TRebootOperation> RebootOperations();
  // Carries out the pending reboot operations in order (failures are skipped, as Windows
  // does), forgets them, and ends every other program's hold on files.
  void SimulateReboot();

 private:
  struct Node;
  struct FileData;
  struct Failure;
  class Stream;
  class Held;
  struct Resolved;

  uint32_t Resolve(StringView path, Resolved& out);
  // The node `r` names, through the junctions on the way; with `follow_last` also through a
  // junction that `r` names itself.
  Node* Find(const Resolved& r, bool follow_last = false, int depth = 0);
  // The folder a junction leads to (the node itself when it is none), or nullptr.
  Node* FollowLink(Node* node, int depth);
  static bool HasHolds(const Node& node);
  void PutJunction(Node& parent, const String& name, const String& target);
  Node* FindParent(const Resolved& r, uint32_t& error);
  bool Denied(const Resolved& r);
  uint32_t CheckKey(FakeFileOp op, const String& key);
  uint32_t Check(FakeFileOp op, const Resolved& r);
  String FullText(const Resolved& r, bool trailing);
  Node& MakeFolders(const Resolved& r, size_t count);
  bool HoldsCurrentFolder(const Resolved& folder);
  bool ConsumeBudget(uint64_t bytes, uint64_t& allowed);
  uint32_t DeleteLocked(const Resolved& r);
  uint32_t MoveLocked(const Resolved& from, const Resolved& to);
  uint32_t FinalPathLocked(StringView path, String& final_path, int depth);
  void ListTreeLocked(Node& folder, const String& prefix, StringList& out);

  std::mutex mutex_;
  std::map<String, std::unique_ptr<Node>> roots_;  // by upper-case root
  String current_;                                 // full path, no trailing backslash
  String temp_;                                    // full path with trailing backslash
  uint32_t temp_counter_ = 0;
  std::vector<String> denied_;  // upper-case full paths
  std::optional<uint64_t> write_budget_;
  std::vector<Failure> failures_;
  std::vector<TRebootOperation> reboot_;
  int open_streams_ = 0;
};

}  // namespace nolu
