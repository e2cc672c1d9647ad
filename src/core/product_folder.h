// The access list of the product folder that an installation creates.
//
// Below the program-files folders a new folder inherits theirs, which lets only
// administrators change the programs. Made anywhere else ("D:\Apps\Nolu\") it would inherit
// that drive's, which commonly lets every user change what it holds, although the product's
// registration program and the uninstaller run elevated from it. So a normal installation's
// folder outside them gets the program-files folders' list; a portable copy belongs to its
// user and keeps the list of the place it lies in.
#pragma once

#include "base/text.h"
#include "platform/file_system.h"

namespace nolu {

// kProgramFiles for a normal installation outside the program-files folders, else kInherited.
TFolderAccess ProductFolderAccess(StringView dest, bool portable);

// Creates the product folder `dest` and its missing parents when it does not exist, the folder
// itself with ProductFolderAccess (its parents inherit as usual). A folder that exists keeps
// its list. Failures are left to the caller, whose folders below it then cannot be created.
void CreateProductFolder(StringView dest, bool portable);

}  // namespace nolu
