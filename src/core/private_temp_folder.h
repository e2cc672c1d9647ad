// A folder of the run's own below the temporary folder, for the programs that the elevated run
// writes there and starts (the uninstaller's copy, the add-on installer).
//
// Under SYSTEM the temporary folder is shared with every user, and anywhere else another
// program of the user could be there first: a fixed name would let it put its own file there,
// or change ours, before it runs elevated. So the folder gets a name from the system's random
// generator and, when the run is elevated, an access list that admits only SYSTEM and
// Administrators, given as it is created.
#pragma once

#include "base/text.h"

namespace nolu {

// The temporary folder with long folder names (GetTempPathW may give 8.3 aliases such as
// "ADMINI~1"), ending with a backslash.
String LongTempFolder();

// True when `path` is the long temporary folder or lies below it (compared in long form).
bool IsInTempFolder(StringView path);

// How many names are tried before the folder is given up: another name taken by chance is
// as good as impossible, a run of them means that someone keeps taking them.
inline constexpr int kPrivateFolderTries = 8;

// Creates the folder "<LongTempFolder>Setup-<32 hexadecimal digits>\" and returns it (with
// its trailing backslash). A name that exists is never used; after kPrivateFolderTries taken
// names, or any other failure, EOSError is raised with the system's text and the folder.
// The caller schedules the folder's deletion.
String CreatePrivateTempFolder();

}  // namespace nolu
