#include "core/protected_folders.h"

#include "base/locale.h"
#include "base/path.h"
#include "platform/error_codes.h"
#include "platform/platform.h"

namespace nolu {
namespace {

constexpr StringView kProfileList = u"Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

constexpr Csidl kShellFolders[] = {
    Csidl::kProgramFiles,     Csidl::kProgramFilesX86,
    Csidl::kWindows,          Csidl::kSystem,
    Csidl::kSystemX86,        Csidl::kProfile,
    Csidl::kDesktopDirectory, Csidl::kCommonDesktopDirectory,
    Csidl::kPersonal,         Csidl::kCommonDocuments,
    Csidl::kDownloads,        Csidl::kCommonDownloads,
    Csidl::kMyMusic,          Csidl::kCommonMusic,
    Csidl::kMyPictures,       Csidl::kCommonPictures,
    Csidl::kMyVideo,          Csidl::kCommonVideo,
    Csidl::kAppData,          Csidl::kLocalAppData,
    Csidl::kCommonAppData,
};

// The system's full form of a folder, with its trailing backslash and without the long-form
// prefix.
String FullForm(StringView folder) {
  String full = IncludeTrailingBackslash(WithoutExtendedLengthPrefix(folder));
  String resolved;
  if (CurrentPlatform().Files().FullPathName(full, resolved) == kErrorSuccess) {
    full = IncludeTrailingBackslash(WithoutExtendedLengthPrefix(resolved));
  }
  return full;
}

// The protected folders other than volume roots, as the shell and the registry name them now.
StringList ProtectedFolders() {
  TPlatform& platform = CurrentPlatform();
  StringList folders;
  auto add = [&](StringView folder) {
    if (!folder.empty() && !IsRelativePath(folder)) folders.push_back(FullForm(folder));
  };
  for (Csidl csidl : kShellFolders) {
    String path;
    if (platform.Shell().SpecialFolder(csidl, path)) add(path);
  }
  String programs;
  if (platform.Shell().SpecialFolder(Csidl::kProgramFilesX86, programs)) {
    // The native folder as a 32-bit program sees it named.
    add(ReplaceAll(programs, u" (x86)", u""));
  }
  String profile;
  if (platform.Shell().SpecialFolder(Csidl::kProfile, profile)) {
    add(ExtractFilePath(ExcludeTrailingBackslash(profile)));  // the folder of the profiles
  }

  IRegistry& registry = platform.Registry();
  ISystem& system = platform.System();
  const TRegKey list(RegRoot::kLocalMachine, RegView::k64, kProfileList);
  for (StringView value : {u"ProfilesDirectory", u"Default", u"Public"})
    add(system.ExpandEnvironmentText(registry.ReadString(list, value)));
  StringList sids;
  registry.EnumSubKeys(list, sids);
  for (const String& sid : sids)
    add(system.ExpandEnvironmentText(registry.ReadString(list.Child(sid), u"ProfileImagePath")));
  return folders;
}

}  // namespace

bool IsProtectedFolder(StringView folder) {
  if (folder.empty()) return false;
  // The folder as written and, when it exists, as the system reaches it: a junction on the
  // way may lead into one of the folders below. The folders of the list are the system's own
  // names; they are not followed (a removal must not even look behind a link).
  StringList forms{FullForm(folder)};
  String final_path;
  if (CurrentPlatform().Files().FinalPathName(forms[0], final_path) == kErrorSuccess) {
    forms.push_back(IncludeTrailingBackslash(final_path));
  }
  for (const String& form : forms) {
    if (IsVolumeRoot(form)) return true;
  }
  for (const String& protected_folder : ProtectedFolders()) {
    for (const String& form : forms) {
      if (EqualsIgnoreCase(form, protected_folder)) return true;
    }
  }
  return false;
}

}  // namespace nolu
