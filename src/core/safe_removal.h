// Removal that stays inside the folder tree it was meant for.
//
// The uninstall record is only scrambled, not signed, and the uninstaller runs with
// administrator rights; in a folder that its user may write to (a portable copy, a profile in
// the user's application data) anyone can edit the record and create junctions or symbolic
// links. So nothing a removal reads from the record or finds in a tree may lead it elsewhere:
//
//   * a recorded path is only taken when it is relative and stays below the product folder
//     (PathBelow); everything else — "..", a drive, a server, "\\?\" forms — is skipped;
//   * a file is not deleted through a junction or symbolic link (DeleteFileBelow);
//   * folder removal never enters a junction or symbolic link: the link itself is removed,
//     what it points to is never touched (DeleteFolderTree, also for its top folder);
//   * no tree removal takes a protected folder (core/protected_folders.h).
//
// Skipped entries are not reported: records of earlier installations may hold full paths of
// files placed outside the product folder, and the removal of the rest is still a success.
#pragma once

#include "base/text.h"

namespace nolu {

// The full path that `relative` (as read from a record) names below `root` (a full folder path
// with its trailing backslash), or empty when it names anything else: an empty, absolute,
// drive-, server- or "\\?\"-qualified path, one with "." or ".." components, a colon or a
// forward slash, and anything whose full form (the platform's FullPathName) does not lie
// strictly below `root`.
String PathBelow(StringView root, StringView relative);

// True when a folder on the way from `root` (not included) to `path` (not included) is a
// junction or symbolic link, or cannot be reached. `path` must begin with `root`.
bool PassesThroughLink(StringView root, StringView path);

// Deletes the file `path` below `root` with DeleteFileOrDefer, unless the way to it passes
// through a junction or symbolic link. A file that is itself a symbolic link is deleted as a
// link, its attributes untouched (those might be its target's). Nothing is reported.
void DeleteFileBelow(StringView root, StringView path);

// Deletes `folder` with every file and folder in it, children first, and stops at the first
// entry that cannot be deleted. Read-only attributes of files and folders are cleared first.
// A junction or symbolic link, `folder` itself included, is removed as a link and never
// entered. A protected folder (core/protected_folders.h: a drive, the Windows folder, a
// profile, ...) is never removed. True when nothing of `folder` is left (also when it did not
// exist).
bool DeleteFolderTree(StringView folder);

}  // namespace nolu
