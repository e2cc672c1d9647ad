// The small file and process operations that the entry, the engine and the product actions
// share. Paths are full Windows paths; the platform applies the long-path rule.
#pragma once

#include "base/text.h"

namespace nolu {

// Appends `text` to the setup object's error list (no lock: see TSetup::Errors).
void AddError(StringView text);

// Deletes a file (clearing its attributes first). A file that cannot be deleted is renamed to
// a fresh name ("delete" prefix) in the temporary folder when that lies on its volume, else in
// its own folder, and that is deleted at the next restart; a file that cannot be renamed
// either is itself deleted at the next restart. A missing file is no error; nothing is
// reported.
void DeleteFileOrDefer(StringView path);
// The same for a file whose `attributes` were just read (not kInvalidAttributes): the
// attributes are changed only when the read-only one keeps the file from being deleted.
void DeleteFileOrDefer(StringView path, uint32_t attributes);

// Schedules the deletion of `path` at the next restart; the result is ignored.
void DeleteOnReboot(StringView path);

// Starts `command_line` with its window shown in the folder `folder` and waits without limit
// until it ends; the exit code is not read and a failure to start is not reported. The folder
// is the program's own (or the system folder), never the current one: that is often the
// downloads folder, where anyone may have put a library the program would load.
void RunAndWait(StringView command_line, StringView folder);

// Copies `source` over `target`; raises EOSError with the system's text and
// source + " -> " + target.
void CopyFileOrRaise(StringView source, StringView target);

}  // namespace nolu
