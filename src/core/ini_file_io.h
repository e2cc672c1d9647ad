// INI files on disk, read and written through the platform's files (so that tests see the
// fake file system and long paths work). The INI object's own LoadFromFile and SaveToFile go
// to the host's files directly; the engine uses these instead.
#pragma once

#include "base/ini_file.h"
#include "base/text.h"

namespace nolu {

// Clears `ini` and loads the file at `path`; the encoding found becomes the object's encoding.
// False, with `ini` left empty, when there is no such file or it cannot be read.
bool LoadIniFile(TRuxIniFile& ini, StringView path);

// Writes `ini` to `path` in the object's encoding. The text goes to a fresh file beside the
// target first and only a complete copy replaces the target, so a failure (a full disk, a
// file in use, no rights) leaves the file at `path` exactly as it was. A read-only target is
// replaced all the same. False when the file could not be written; never raises for the
// file's sake.
bool SaveIniFile(const TRuxIniFile& ini, StringView path);

}  // namespace nolu
