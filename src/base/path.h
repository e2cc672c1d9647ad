// Path text helpers for Windows paths held as text ("C:\Program Files\Nolu\").
//
// Paths are plain text on both builds: the engine computes them the same way whether the
// platform underneath is Windows or the in-memory fake. Only the backslash separates
// components here; a drive ("C:") or a colon also ends the folder part, as Windows reads it.
// Nothing in this file touches a file system.
#pragma once

#include "base/text.h"

namespace nolu {

// Paths this long (in UTF-16 code units) or longer no longer fit the classic Windows limit.
inline constexpr size_t kMaxPath = 260;

// Adds a backslash unless the text already ends with one. An empty text stays empty, so that
// an unset folder never silently turns into the root of the current drive.
String IncludeTrailingBackslash(StringView path);
// Removes one trailing backslash, if any.
String ExcludeTrailingBackslash(StringView path);

// The folder part including its final backslash (or the drive's colon): "C:\a\b.txt" gives
// "C:\a\", "C:b.txt" gives "C:", "b.txt" gives "".
String ExtractFilePath(StringView path);
// The text after the last backslash or colon.
String ExtractFileName(StringView path);
// The extension of the file name including its dot (".dat"), or empty when the file name has
// no dot. A dot in a folder name does not count.
String ExtractFileExt(StringView path);
// Replaces the extension of the file name (or appends one when there is none); an empty
// extension removes it.
String ChangeFileExt(StringView path, StringView extension);

// True when the path has no root: it does not start with a backslash (root or server) and
// has no drive ("C:"). "a\b" and "..\b" are relative; "\a", "\\srv\s", "C:\a" and "C:a" are
// not.
bool IsRelativePath(StringView path);
// True when the path is relative, non-empty, and cannot leave the folder it is appended to:
// no component is "." or "..", and it holds no colon (drive or alternate data stream) and no
// forward slash (which Windows also takes as a separator). Paths read from files that a user
// could edit must pass this test before they are joined to a folder and acted upon.
bool IsContainedRelativePath(StringView path);

// True for the root of a drive or share, with or without its trailing backslash ("C:",
// "C:\", "\\server\share\"): a folder that is a whole volume, never one to remove.
bool IsVolumeRoot(StringView folder);

// True when `path` begins with `prefix`, compared without regard to case (EqualsIgnoreCase).
bool PathStartsWith(StringView path, StringView prefix);

// The form of a path that the Windows file functions accept at any length: a path of
// kMaxPath characters or more gets the prefix "\\?\" ("\\?\UNC\" in place of the two leading
// backslashes of a server path "\\server\share"). Shorter paths, paths that already start
// with "\\?\", and device paths ("\\.\") are returned unchanged. The prefix switches off the
// system's own path clean-up, so callers pass full, normalised paths.
String ExtendedLengthPath(StringView path);

}  // namespace nolu
