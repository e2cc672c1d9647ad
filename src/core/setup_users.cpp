#include "core/setup_users.h"

#include "base/locale.h"
#include "base/path.h"
#include "core/folder_chain.h"
#include "platform/error_codes.h"
#include "platform/platform.h"

namespace nolu {
namespace {

constexpr StringView kProfileList = u"Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr StringView kUserShellFolders =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr StringView kUserProfileVariable = u"%USERPROFILE%";

// Neither key is redirected for 32-bit programs; the native view names them plainly.
constexpr RegView kView = RegView::k64;

String LastComponent(StringView folder) {
  return ExtractFileName(ExcludeTrailingBackslash(folder));
}

bool EndsWithIgnoreCase(StringView text, StringView suffix) {
  return text.size() >= suffix.size() &&
         EqualsIgnoreCase(text.substr(text.size() - suffix.size()), suffix);
}

// Every "%USERPROFILE%", in any letter case, replaced by `profile`.
String ReplaceUserProfile(StringView text, StringView profile) {
  String result;
  size_t i = 0;
  while (i < text.size()) {
    if (i + kUserProfileVariable.size() <= text.size() &&
        EqualsIgnoreCase(text.substr(i, kUserProfileVariable.size()), kUserProfileVariable)) {
      result += profile;
      i += kUserProfileVariable.size();
    } else {
      result += text[i++];
    }
  }
  return result;
}

// The application-data folder of the profile `sid` with the folder `profile`; empty when the
// registry does not tell.
String ProfileAppData(StringView sid, StringView profile) {
  IRegistry& registry = CurrentPlatform().Registry();
  TRegKey folders(RegRoot::kUsers, kView, String(sid) + u"\\" + String(kUserShellFolders));
  if (!registry.KeyExists(folders)) {
    // The user's hive is not loaded: the default user's template names the folder.
    folders = TRegKey(RegRoot::kUsers, kView, u".DEFAULT\\" + String(kUserShellFolders));
    if (!registry.KeyExists(folders)) return String();
  }
  return ReplaceUserProfile(registry.ReadString(folders, u"AppData"),
                            ExcludeTrailingBackslash(profile));
}

// A full path on a drive of this machine ("C:\..."), in the system's own full form; empty for
// anything else (relative, a server, a device, "\\?\" forms).
String LocalFullPath(StringView path) {
  if (path.size() < 3 || path[1] != u':' || path[2] != u'\\') return String();
  String full;
  if (CurrentPlatform().Files().FullPathName(path, full) != kErrorSuccess) return String();
  return full.size() >= 3 && full[1] == u':' && full[2] == u'\\' ? full : String();
}

class Reporter {
 public:
  explicit Reporter(const TSetupUserCallback& callback) : callback_(callback) {}

  void Report(StringView profile_folder, StringView app_data) {
    const String folder = TSetupUsers::AcceptedAppData(profile_folder, app_data);
    if (folder.empty()) return;
    for (const String& seen : reported_) {
      if (EqualsIgnoreCase(seen, folder)) return;
    }
    reported_.push_back(folder);
    callback_({LastComponent(profile_folder),
               IncludeTrailingBackslash(LocalFullPath(profile_folder)), folder});
  }

 private:
  const TSetupUserCallback& callback_;
  StringList reported_;
};

}  // namespace

String TSetupUsers::AcceptedAppData(StringView profile_folder, StringView app_data) {
  const String profile = IncludeTrailingBackslash(LocalFullPath(profile_folder));
  const String folder = IncludeTrailingBackslash(LocalFullPath(app_data));
  if (profile.size() <= 1 || folder.size() <= profile.size() || !PathStartsWith(folder, profile)) {
    return String();
  }
  // Holding the folders checks each of them, the profile folder included, for a link. What
  // does not exist yet cannot be one; the callers find nothing there.
  TFolderChain chain;
  return chain.HoldExisting(profile, folder) == kErrorSuccess ? folder : String();
}

void TSetupUsers::Populate(const TSetupUserCallback& callback) {
  TPlatform& platform = CurrentPlatform();
  Reporter reporter(callback);

  String profile;
  String app_data;
  if (platform.Shell().SpecialFolder(Csidl::kProfile, profile) &&
      platform.Shell().SpecialFolder(Csidl::kAppData, app_data)) {
    reporter.Report(profile, app_data);
  }

  IRegistry& registry = platform.Registry();
  const TRegKey list(RegRoot::kLocalMachine, kView, kProfileList);
  StringList sids;
  registry.EnumSubKeys(list, sids);
  for (const String& sid : sids) {
    // Windows keeps a broken profile's key aside under this name.
    if (EndsWithIgnoreCase(sid, u".bak")) continue;
    const String folder = platform.System().ExpandEnvironmentText(
        registry.ReadString(list.Child(sid), u"ProfileImagePath"));
    if (folder.empty() || IsRelativePath(folder) || !platform.Files().FolderExists(folder)) {
      continue;
    }
    const String profile_app_data = ProfileAppData(sid, folder);
    if (profile_app_data.empty()) continue;
    reporter.Report(folder, profile_app_data);
  }
}

}  // namespace nolu
