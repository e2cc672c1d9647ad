// Removal that stays inside the folder tree it was meant for.
//
// The uninstall record is only scrambled, not signed, and the uninstaller runs with
// administrator rights; in a folder that its user may write to (a portable copy, a profile in
// the user's application data) anyone can edit the record and create junctions or symbolic
// links, also while the removal runs. So nothing a removal reads from the record or finds in a
// tree may lead it elsewhere:
//
//   * a recorded path is only taken when it is relative and stays below the product folder
//     (PathBelow); everything else — "..", a drive, a server, "\\?\" forms — is skipped;
//   * every folder on the way from the tree's root to what is deleted is opened without
//     following links and held while the deletion happens (core/folder_chain.h), so a folder
//     swapped for a junction between a check and the deletion redirects nothing: a file below
//     a link is not deleted (DeleteFileBelow), a link inside a tree (or as its top folder) is
//     removed as a link and never entered (DeleteFolderTree, RemoveEmptyFolderBelow);
//   * no tree removal takes a protected folder (core/protected_folders.h).
//
// The root of each operation is a folder that ordinary users cannot replace: the product
// folder, or the user's profile folder for the users' data. Skipped entries are not reported:
// records of earlier installations may hold full paths of files placed outside the product
// folder, and the removal of the rest is still a success.
#pragma once

#include "base/text.h"

namespace nolu {

class TFolderChain;

// The full path that `relative` (as read from a record) names below `root` (a full folder path
// with its trailing backslash), or empty when it names anything else: an empty, absolute,
// drive-, server- or "\\?\"-qualified path, one with "." or ".." components, a colon or a
// forward slash, and anything whose full form (the platform's FullPathName) does not lie
// strictly below `root`.
String PathBelow(StringView root, StringView relative);

// Deletes the file `path` below `root` with DeleteFileOrDefer while the folders from `root` to
// it are held; nothing happens when one of them is a junction or symbolic link or cannot be
// held. A file that is itself a symbolic link is deleted as a link, its attributes untouched
// (those might be its target's). Nothing is reported.
void DeleteFileBelow(StringView root, StringView path);
// The same with `chain` holding the way (TFolderChain::MoveTo): a run of deletions in
// neighbouring folders opens each folder of the way once, not once per file.
void DeleteFileBelow(TFolderChain& chain, StringView root, StringView path);

// Removes the folder `folder` below `root` when it is empty (or a link, which goes as a link),
// while the folders on the way are held; otherwise it stays. Nothing is reported.
void RemoveEmptyFolderBelow(StringView root, StringView folder);
// The same with `chain` holding the way: a run of removals, children before their parents,
// opens each folder of the way once. `folder` itself is never left held, and `root` is let go
// of before it is removed itself.
void RemoveEmptyFolderBelow(TFolderChain& chain, StringView root, StringView folder);

// Deletes `folder` (`root` itself or a folder below it) with every file and folder in it,
// children first, and stops at the first entry that cannot be deleted. Read-only attributes
// of files and folders are cleared first. A junction or symbolic link, `folder` itself
// included, is removed as a link and never entered; a folder on the way from `root` that is
// one keeps the tree from being touched at all. Never a whole volume, never a protected
// folder (core/protected_folders.h: a drive, the Windows folder, a profile, ...). True when
// nothing of `folder` is left (also when it did not exist).
bool DeleteFolderTree(StringView root, StringView folder);

}  // namespace nolu
