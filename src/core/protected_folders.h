// Folders that are never a product folder of their own.
//
// An update archives and deletes what the product folder holds, and a removal may take the
// folder as a whole. A product placed straight into a drive, a program-files folder, the
// Windows folder, a profile or one of the folders of the users' own files would take all of
// that with it. So an installation refuses such a destination before anything is written
// (TSetup::Start), and no tree removal takes such a folder, whatever a record or a choice
// says (DeleteFolderTree). A folder below one of them is a folder like any other: the portable
// default lies below the desktop.
//
// Protected are the root of every drive and share; the program-files folders, both the
// 32-bit and the native one; the Windows folder and its system folders; the profiles folder,
// the current user's profile and every profile of the registry's profile list (the default
// and the public one included); and the shell's folders of the users' files and data —
// desktop, documents, downloads, music, pictures, videos, application data — of the current
// user and of all users. The shell and the registry are asked at every call.
//
// A folder is compared without regard to case in its full form (FullPathName, the "\\?\"
// prefix taken off) and, when it exists, in its final form with every junction and symbolic
// link on its way followed (FinalPathName): "C:\Documents and Settings\User\" is the profile
// "C:\Users\User\". The folders of the list are taken in their full form as the shell and the
// registry name them, never followed: a removal must not look behind a link.
#pragma once

#include "base/text.h"

namespace nolu {

bool IsProtectedFolder(StringView folder);

}  // namespace nolu
