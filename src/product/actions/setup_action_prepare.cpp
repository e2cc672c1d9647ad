#include "product/actions/setup_action_prepare.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "base/errors.h"
#include "base/locale.h"
#include "base/path.h"
#include "core/file_operations.h"
#include "core/file_search_helper.h"
#include "core/folder_chain.h"
#include "core/safe_removal.h"
#include "core/setup.h"
#include "core/setup_file_list.h"
#include "core/setup_summary_builder.h"
#include "platform/error_codes.h"
#include "platform/platform.h"
#include "product/product_info_nolu.h"
#include "product/update/setup_backup_archive.h"
#include "product/update/setup_helper.h"
#include "product/update/setup_update_task_remove_shell_menu.h"
#include "product/update/setup_update_task_remove_shortcuts.h"
#include "product/update/setup_update_task_remove_uninstall_info.h"
#include "product/update/setup_update_task_update_configs.h"
#include "resources/setup_resources.h"

namespace nolu {
namespace {

// Updates from versions before this one clean up the shell menu, the uninstall entries and the
// shortcuts of the old copy as a fresh installation does.
constexpr int kCleanUpBeforeVersion = 4000;
// Updates from this version on keep the user's plug-ins.
constexpr int kKeepPluginsFromVersion = 3600;

// What an update keeps of the old copy, relative to the destination. "Nolu.ini" holds the
// user's settings besides the installation's; the configuration action updates it in place.
constexpr StringView kKeptUserFiles[] = {u"Icons\\", u"System\\Data\\", u"System\\Encoders\\",
                                         u"Skins\\", u"libwebp.dll",    u"Nolu.ini"};

// Plug-ins of older versions that go from copies older than `Below`, updates included: an
// update keeps the user's plug-ins, but not these.
struct TObsoletePlugins {
  int Below;
  std::vector<StringView> Folders;
};

const std::vector<TObsoletePlugins>& ObsoletePlugins() {
  static const std::vector<TObsoletePlugins> table{
      {4002,
       {u"Plugins\\PlugA\\", u"Plugins\\PlugB\\", u"Plugins\\PlugC\\", u"Plugins\\PlugD\\",
        u"Plugins\\PlugE\\"}},
      {4699, {u"Plugins\\PlugF\\"}},
      {5030, {u"Plugins\\PlugG\\"}},
      {INT_MAX,
       {u"Plugins\\PlugH\\", u"Plugins\\PlugI\\", u"Plugins\\PlugJ\\", u"Plugins\\PlugK\\"}},
  };
  return table;
}

// The decimal digits of `value`, with leading zeros up to `width`.
String Padded(int value, size_t width) {
  const String digits = IntToStr(value);
  return digits.size() >= width ? digits : String(width - digits.size(), u'0') + digits;
}

bool LessIgnoreCase(const String& a, const String& b) {
  return CompareIgnoreCase(a, b) < 0;
}

// The moment in the name of an archive of a run, "z Before install <version> [yyyy.MM.dd
// hh-mm-ss].zip", as the digits yyyyMMddhhmmss (which sort as the moments do); empty for any
// other name.
String BackupTimeStamp(StringView name) {
  constexpr StringView kPrefix = u"z Before install ";
  constexpr StringView kTail = u" [dddd.dd.dd dd-dd-dd].zip";  // 'd': a digit
  if (name.size() < kPrefix.size() + kTail.size() || !PathStartsWith(name, kPrefix)) {
    return String();
  }
  const StringView tail = name.substr(name.size() - kTail.size());
  String digits;
  for (size_t i = 0; i < kTail.size(); ++i) {
    if (kTail[i] != u'd') {
      if (!EqualsIgnoreCase(tail.substr(i, 1), kTail.substr(i, 1))) return String();
    } else if (tail[i] >= u'0' && tail[i] <= u'9') {
      digits.push_back(tail[i]);
    } else {
      return String();
    }
  }
  auto field = [&](size_t at) { return (digits[at] - u'0') * 10 + (digits[at + 1] - u'0'); };
  const int month = field(4), day = field(6), hour = field(8), minute = field(10),
            second = field(12);
  if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59) {
    return String();
  }
  return digits;
}

}  // namespace

String TSetupActionPrepare::GetBackupFolder() {
  return Setup()->DestPath() + u"!Backup\\";
}

String TSetupActionPrepare::GetBackupFileName(const TDateTime& time) const {
  // "yyyy.MM.dd hh-mm-ss", hours of the 24-hour clock.
  const String stamp = Padded(time.Year, 4) + u'.' + Padded(time.Month, 2) + u'.' +
                       Padded(time.Day, 2) + u' ' + Padded(time.Hour, 2) + u'-' +
                       Padded(time.Minute, 2) + u'-' + Padded(time.Second, 2);
  return GetBackupFolder() + u"z Before install " + ProductInfo().GetProductVersion() + u" [" +
         stamp + u"].zip";
}

void TSetupActionPrepare::Execute() {
  processed_ = 0;
  archive_.clear();
  StringList removal_list;
  profile_list_.Populate();
  CreateUpdateTasks();
  total_ = static_cast<int>(update_tasks_.size());
  Backup(removal_list);
  if (Setup()->Flags() & sfUpdate) KeepUserFiles(removal_list);
  CollectOldBackups(removal_list);
  CollectObsoleteFiles(removal_list);
  CollectComponentFiles(removal_list);
  TSetupHelper::RemoveDuplicates(removal_list);
  RunUpdateTasks(removal_list);
  DeleteCollected(removal_list);
}

void TSetupActionPrepare::CreateUpdateTasks() {
  update_tasks_.clear();
  const TSetupFlags flags = Setup()->Flags();
  const bool update = (flags & sfUpdate) != 0;
  if ((flags & sfPortable) == 0 &&
      (!update || ProductInfo().GetInstalledVersion() < kCleanUpBeforeVersion)) {
    update_tasks_.push_back(std::make_unique<TSetupUpdateTaskRemoveShellMenu>());
    update_tasks_.push_back(std::make_unique<TSetupUpdateTaskRemoveUninstallInfo>());
    update_tasks_.push_back(std::make_unique<TSetupUpdateTaskRemoveShortcuts>());
  }
  if (update) {
    for (const TSetupProfileInfo& profile : profile_list_.All())
      update_tasks_.push_back(std::make_unique<TSetupUpdateTaskUpdateConfigs>(profile));
  }
}

TSetupFileList TSetupActionPrepare::CreateBackupFileList() const {
  const String& dest = Setup()->DestPath();
  const String excluded = GetBackupFolder();
  TSetupFileList list;
  // Whatever is listed here is deleted after archiving. A folder the user picked that holds
  // no copy of the product (their documents, a drive root) is none of the setup's business.
  const bool copy_in_destination = DestinationHoldsCopy();
  if (Setup()->Flags() & sfPortable) {
    if (copy_in_destination) list.AddFolder(dest, excluded, u"");
    return list;
  }
  for (const TSetupProfileInfo& profile : profile_list_.All())
    list.AddFolder(profile.SourcePath, excluded, u"Profiles\\" + profile.UserName + u'\\');
  if (copy_in_destination) list.AddFolder(dest, excluded, u"Program\\");
  return list;
}

bool TSetupActionPrepare::DestinationHoldsCopy() const {
  if (ProductInfo().GetInstalledVersion() > 0) return true;
  // A damaged copy without its configuration still has its program or its uninstall record.
  const String& dest = Setup()->DestPath();
  IFileSystem& files = CurrentPlatform().Files();
  for (StringView marker : {u"Nolu.exe", u"Uninstall.dat"}) {
    if (files.FileExists(dest + String(marker))) return true;
  }
  return false;
}

void TSetupActionPrepare::Backup(StringList& removal_list) {
  if (Setup()->Flags() & sfNoBackup) return;
  TSetupFileList list = CreateBackupFileList();
  total_ += static_cast<int>(list.Count());
  // Everything of the previous installation that was found goes; an update takes the profiles
  // back out (TSetupUpdateTaskUpdateConfigs).
  for (const TSetupFileListItem& item : list.All())
    removal_list.push_back(item.Source);
  for (StringView name : kNotArchived)
    list.RemoveByName(name);
  SetStatus(GetCommonString(u"A1"));
  if (list.Count() == 0) return;

  WaitForThePackageChecks();
  CreateBackupFolder();
  const TDateTime now = CurrentPlatform().System().LocalTime();
  archive_ = GetBackupFileName(now);
  TSetupBackupArchive::Write(archive_, list, now, [this] { StepDone(); });
}

void TSetupActionPrepare::CreateBackupFolder() {
  ForceDir(Setup()->DestPath());
  // The archives hold every user's profile: only administrators may read them. A portable
  // copy's archives hold its one profile, whose owner keeps the access they have to it.
  const TFolderAccess access =
      (Setup()->Flags() & sfPortable) ? TFolderAccess::kInherited : TFolderAccess::kAdministrators;
  IFileSystem& files = CurrentPlatform().Files();
  const String folder = GetBackupFolder();
  uint32_t error = files.CreateFolder(folder, access);
  if (error == kErrorAlreadyExists && files.FolderExists(folder)) {
    // Made by an older version, open to every user: closed now, with what is in it.
    error =
        access == TFolderAccess::kInherited ? kErrorSuccess : files.SetFolderAccess(folder, access);
  }
  // A volume without access lists cannot protect anything, and does not need to try.
  if (error != kErrorSuccess && error != kErrorNotSupported) {
    throw EOSError(error, CurrentPlatform().System().SysErrorMessage(error), folder);
  }
}

void TSetupActionPrepare::KeepUserFiles(StringList& removal_list) const {
  const String& dest = Setup()->DestPath();
  if (ProductInfo().GetInstalledVersion() >= kKeepPluginsFromVersion) {
    TSetupHelper::ExcludePath(removal_list, dest + u"Plugins\\");
  }
  for (StringView kept : kKeptUserFiles)
    TSetupHelper::ExcludePath(removal_list, dest + String(kept));
}

void TSetupActionPrepare::CollectOldBackups(StringList& removal_list) const {
  // The archives of earlier runs go oldest first by the moment in their names: the names as
  // text sort by version first, and archives of a later version would outlast this run's.
  // This run's own archive always stays, and a zip file that no run named is the user's.
  struct TArchive {
    String stamp;
    String name;
  };
  const String folder = GetBackupFolder();
  std::vector<TFileEntry> entries;
  CurrentPlatform().Files().ListFolder(folder, entries);
  std::vector<TArchive> archives;
  for (const TFileEntry& entry : entries) {
    if (entry.IsFolder() || EqualsIgnoreCase(folder + entry.Name, archive_)) continue;
    String stamp = BackupTimeStamp(entry.Name);
    if (!stamp.empty()) archives.push_back({std::move(stamp), entry.Name});
  }
  const size_t kept_others = archive_.empty() ? kKeptBackups : kKeptBackups - 1;
  if (archives.size() <= kept_others) return;
  std::stable_sort(archives.begin(), archives.end(), [](const TArchive& a, const TArchive& b) {
    return a.stamp != b.stamp ? a.stamp < b.stamp : LessIgnoreCase(a.name, b.name);
  });
  for (size_t i = 0; i + kept_others < archives.size(); ++i)
    removal_list.push_back(folder + archives[i].name);
}

void TSetupActionPrepare::CollectObsoleteFiles(StringList& removal_list) const {
  const String& dest = Setup()->DestPath();
  const String vorbis = dest + u"libVorbis.dll";
  if (CurrentPlatform().Files().FileExists(vorbis)) removal_list.push_back(vorbis);
  const int installed = ProductInfo().GetInstalledVersion();
  for (const TObsoletePlugins& row : ObsoletePlugins()) {
    if (installed >= row.Below) continue;
    for (StringView folder : row.Folders)
      FindFiles(dest + String(folder), u"", removal_list);
  }
}

void TSetupActionPrepare::CollectComponentFiles(StringList& removal_list) const {
  // Every component, whatever its language family: a file of another language that an earlier
  // run installed must not stay behind.
  const TSetupScriptGroup& components = Script().Components();
  for (size_t i = 0; i < components.Count(); ++i)
    removal_list.push_back(Resources().ExpandPath(components.Items(i).Name));
}

void TSetupActionPrepare::RunUpdateTasks(StringList& removal_list) {
  SetStatus(GetCommonString(u"A5"));
  for (const auto& task : update_tasks_) {
    task->Execute(&removal_list);
    StepDone();
  }
}

void TSetupActionPrepare::DeleteCollected(const StringList& removal_list) {
  SetStatus(GetCommonString(u"A3"));
  // The users' profiles and a portable copy may be changed by ordinary users while the run
  // deletes in them: there the way from the tree's root to each file is held while it goes
  // (core/safe_removal.h), and nothing below a link is deleted.
  StringList roots;
  for (const TSetupProfileInfo& profile : profile_list_.All())
    roots.push_back(profile.RootPath);
  roots.push_back(Setup()->DestPath());
  const auto root_of = [&](const String& path) -> const String* {
    for (const String& root : roots) {
      if (!root.empty() && PathStartsWith(path, root)) return &root;
    }
    return nullptr;
  };
  IFileSystem& files = CurrentPlatform().Files();
  // A first installation collects paths in the destination that does not exist yet; the first
  // path that does exist is a change to wait for the checks for.
  bool checked = false;
  const auto before_change = [&](const String& path) {
    if (checked || files.Attributes(path) == kInvalidAttributes) return;
    WaitForThePackageChecks();
    checked = true;
  };
  {
    // Held from one file to the next: the folders that neighbouring files share are opened
    // once. Let go of before the folders are removed (a held folder cannot be).
    TFolderChain chain;
    for (const String& path : removal_list) {
      before_change(path);
      if (const String* root = root_of(path)) {
        DeleteFileBelow(chain, *root, path);
      } else {
        DeleteFileOrDefer(path);
      }
    }
  }

  // The folders of the deleted files, deepest last after sorting, removed from the last on:
  // children go before their parents. Only empty folders go.
  StringList folders;
  folders.reserve(removal_list.size());
  for (const String& path : removal_list)
    folders.push_back(ExtractFilePath(path));
  TSetupHelper::RemoveDuplicates(folders);
  std::stable_sort(folders.begin(), folders.end(), LessIgnoreCase);
  for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
    // A first installation collects the folders of all its files, none of which exists yet:
    // a missing folder is no failed removal (nor a line of the log saying so).
    if (it->empty() || !files.FolderExists(*it)) continue;
    before_change(*it);
    if (const String* root = root_of(*it)) {
      RemoveEmptyFolderBelow(*root, *it);
    } else {
      files.RemoveFolder(*it);
    }
  }
}

void TSetupActionPrepare::StepDone() {
  ++processed_;
  if (total_ <= 0) return;
  const int64_t percent = (static_cast<int64_t>(processed_) * 200 + total_) / (2 * int64_t{total_});
  SetProgress(static_cast<int>(std::min<int64_t>(percent, 100)));
}

void TSetupActionPrepare::PopulateSummary(TSetupSummaryBuilder& builder) {
  TSetup& setup = *Setup();
  const TSetupFlags flags = setup.Flags();
  builder.AddCaption(u"PageSetup", u"LB1");
  builder.AddItem(setup.DestPath());

  builder.AddCaption(u"PageSetup", u"Title");
  if (flags & sfUpdate) {
    builder.AddItem(u"PageSetup", u"CB1");
  } else if (flags & sfPortable) {
    builder.AddItem(u"PageSetup", u"CB3");
  } else {
    builder.AddItem(u"PageSetup", u"CB2");
  }
  if ((flags & sfNoBackup) == 0) builder.AddItem(u"PageSetup", u"CB4");

  // The warning of the setup page: the copy found is replaced (archived and deleted), not
  // updated.
  if (flags & sfUpdate) return;
  bool replaces_copy = ProductInfo().GetInstalledVersion() >= 1;
  if (!replaces_copy && (flags & sfPortable) == 0) {
    String found;
    replaces_copy = TProductInfoNolu::DetectInstallPath(found);
  }
  if (replaces_copy) {
    builder.AddCaption(u"PageSetup", u"Title");
    builder.AddItem(u"PageSetup", u"W3");
  }
}

}  // namespace nolu
