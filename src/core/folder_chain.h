// TFolderChain: the folders from a trusted root down to one folder, each opened without
// following a junction or symbolic link and held (IFileSystem::HoldFolder). While the chain
// lives none of them can be renamed, moved or replaced by a link, so a path below its last
// folder names what was checked, however the folders are changed meanwhile by whoever may
// write them.
//
// This is how the elevated run works in a tree that ordinary users may write (a portable
// copy, a user's profile): it checks and uses a folder in one step instead of checking a
// path and using it a moment later, when a folder on the way may have become a junction to
// somewhere else.
//
//   TFolderChain chain;
//   if (chain.Hold(profile_folder, app_data + u"Nolu\\") != kErrorSuccess) return;  // a link
//   ... delete, list or create below chain.Path() ...
//
// The root is taken as it is named: it must be a folder that ordinary users cannot replace
// (a user's profile folder, the product folder), only its own last component is checked.
#pragma once

#include <memory>
#include <vector>

#include "base/text.h"
#include "platform/file_system.h"

namespace nolu {

class TFolderChain {
 public:
  TFolderChain() = default;
  ~TFolderChain() { Release(); }
  TFolderChain(const TFolderChain&) = delete;
  TFolderChain& operator=(const TFolderChain&) = delete;

  // Lets go of what was held, then holds `root` and every folder from there down to `folder`
  // (which must be `root` or lie below it; both full paths, the trailing backslash optional).
  // The first failure lets go of everything and is returned: kErrorReparsePoint for a link,
  // kErrorFileNotFound or kErrorPathNotFound for a missing folder, kErrorInvalidParameter for
  // a `folder` outside `root`.
  uint32_t Hold(StringView root, StringView folder);
  // As Hold, but creates the folders below `root` that are missing (each in its held parent).
  uint32_t HoldCreating(StringView root, StringView folder);
  // As Hold, but stops without an error at the first folder that does not exist: what exists
  // of the way is held and was no link.
  uint32_t HoldExisting(StringView root, StringView folder);
  // As Hold, but keeps what is held of the way already: the folders that the chain holds from
  // the same `root` and that also lie on the way to `folder` stay held, only the rest is let
  // go of and entered. For a run of operations in neighbouring folders (a removal file by
  // file): the shared folders are opened once, and stay held between the operations.
  uint32_t MoveTo(StringView root, StringView folder);
  // Holds `name` (one component) in the last held folder; on failure the chain stays as it
  // was.
  uint32_t Enter(StringView name);
  // Creates `name` in the last held folder when it is missing, then enters it.
  uint32_t EnterOrCreate(StringView name);
  // Lets go of the last held folder.
  void Leave();
  void Release();

  bool Empty() const { return held_.empty(); }
  // The last held folder with its trailing backslash; empty when nothing is held.
  const String& Path() const { return path_; }

 private:
  enum class TMissing { kFail, kCreate, kStop };
  uint32_t HoldWay(StringView root, StringView folder, TMissing missing);
  // Enters the components of `target` (with its trailing backslash) from offset `from` on.
  uint32_t EnterWay(const String& target, size_t from, TMissing missing);
  uint32_t Push(String path);

  std::vector<std::unique_ptr<THeldFolder>> held_;
  std::vector<size_t> lengths_;  // of path_ before each level
  String path_;
  String root_;  // as the last Hold, MoveTo or HoldCreating named it, with its backslash
};

}  // namespace nolu
