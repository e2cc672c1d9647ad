#include "product/actions/setup_action_uninstall_files.h"

#include <algorithm>

#include "base/ini_file.h"
#include "base/path.h"
#include "core/folder_chain.h"
#include "core/ini_file_io.h"
#include "core/protected_folders.h"
#include "core/safe_removal.h"
#include "core/setup.h"
#include "core/setup_users.h"
#include "platform/error_codes.h"
#include "platform/platform.h"
#include "product/internal/path_list.h"
#include "product/internal/rounded_percent.h"
#include "product/options/product_options.h"
#include "product/update/setup_profile_helper.h"
#include "resources/setup_resources.h"

namespace nolu {
namespace {

constexpr char16_t kRecordName[] = u"Uninstall.ini";
constexpr char16_t kRecordSection[] = u"Uninstall";

// Appends every subfolder of `root` after all of its own subfolders. Junctions and symbolic
// links are neither entered nor listed: they are content that the installation did not make.
void AppendSubfoldersChildrenFirst(const String& root, std::vector<TSetupDirItem>& dirs) {
  IFileSystem& files = CurrentPlatform().Files();
  // Depth first with a stack of its own: a tree may be nested deeper than a thread's stack.
  struct Frame {
    String path;
    StringList subfolders;
    size_t next = 0;
  };
  std::vector<Frame> stack;
  auto enter = [&](String path) {
    Frame frame{std::move(path), {}, 0};
    std::vector<TFileEntry> entries;
    files.ListFolder(frame.path, entries);  // unreadable: no subfolders to offer
    for (const TFileEntry& entry : entries) {
      if (entry.IsFolder() && !(entry.Attributes & kAttrReparsePoint)) {
        frame.subfolders.push_back(frame.path + entry.Name + u"\\");
      }
    }
    stack.push_back(std::move(frame));
  };

  enter(root);
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.next < frame.subfolders.size()) {
      enter(frame.subfolders[frame.next++]);
      continue;
    }
    if (stack.size() > 1) {
      dirs.push_back({std::move(frame.path), TSetupDirMark::RemoveIfEmpty, root});
    }
    stack.pop_back();
  }
}

// The folders of the recorded files below `root` and the folders above them up to `root`,
// children before their parents; folders that are missing or reached through a link are left
// out. (Each is held again from `root` as it goes: one swapped for a link meanwhile stays.)
void AppendRecordedFolders(const String& root, const StringList& files,
                           std::vector<TSetupDirItem>& dirs) {
  StringList folders;
  for (const String& file : files) {
    for (String folder = ExtractFilePath(file); folder.size() > root.size();
         folder = ExtractFilePath(ExcludeTrailingBackslash(folder))) {
      folders.push_back(folder);
    }
  }
  RemoveDuplicatePaths(folders);
  // Deeper folders first; the order among folders of one depth does not matter.
  std::stable_sort(folders.begin(), folders.end(), [](const String& a, const String& b) {
    return std::count(a.begin(), a.end(), u'\\') > std::count(b.begin(), b.end(), u'\\');
  });
  for (String& folder : folders) {
    TFolderChain chain;
    if (chain.Hold(root, folder) == kErrorSuccess) {
      dirs.push_back({std::move(folder), TSetupDirMark::RemoveIfEmpty, root});
    }
  }
}

}  // namespace

StringList TSetupActionUninstallFiles::CreateFileList() const {
  TRuxIniFile record;
  record.LoadFromStream(*Resources().GetStream(kRecordName));
  const String& dest = Setup()->DestPath();
  // Keys "0" to Count - 1; a "Count" beyond the keys that the section holds adds only misses,
  // and a tampered huge one must not keep the removal busy for hours.
  const TRuxIniFileSection* section = record.FindSection(kRecordSection);
  const int64_t count = std::min<int64_t>(record.ReadInteger(kRecordSection, u"Count", 0),
                                          section ? static_cast<int64_t>(section->Count()) : 0);
  StringList files;
  for (int64_t i = 0; i < count; ++i) {
    String path = PathBelow(dest, record.ReadString(kRecordSection, IntToStr(i), u""));
    if (!path.empty()) files.push_back(std::move(path));
  }
  RemoveDuplicatePaths(files);
  return files;
}

std::vector<TSetupDirItem> TSetupActionUninstallFiles::CreateDirsList() const {
  TSetup& setup = *Setup();
  const String& dest = setup.DestPath();
  std::vector<TSetupDirItem> dirs;
  if (IsProtectedFolder(dest)) {
    // A copy that an earlier version placed straight into a drive or a folder of others:
    // the folders there are not the copy's, except those of its own files.
    AppendRecordedFolders(dest, CreateFileList(), dirs);
  } else {
    AppendSubfoldersChildrenFirst(dest, dirs);
  }
  const TRemovalChoices choices = TRemovalChoices::Read(Options(), setup.Flags());
  if (choices.RemoveBackups) {
    dirs.push_back({dest + u"!Backup\\", TSetupDirMark::RemoveTree, dest});
  }
  if (choices.RemoveContent) PrepareContent(dirs, choices.RemoveBackups);
  // Last, the product folder itself, when the removal has left nothing in it: a removal that
  // a deployment tool waits for is over when the folder is gone. (A product in a drive's root
  // leaves the root alone: "D:" would name the drive's current folder.)
  if (!IsVolumeRoot(dest)) dirs.push_back({dest, TSetupDirMark::RemoveIfEmpty, dest});
  return dirs;
}

void TSetupActionUninstallFiles::PrepareContent(std::vector<TSetupDirItem>& dirs,
                                                bool remove_backups) const {
  const String& dest = Setup()->DestPath();
  // Backups and users' data both go: nothing of the product folder is to be kept.
  dirs.push_back({remove_backups ? dest : dest + u"Profile\\", TSetupDirMark::RemoveTree, dest});
  // An installed copy keeps each user's data in that user's own profile folder.
  TRuxIniFile config;
  if (!LoadIniFile(config, dest + u"Nolu.ini") || !config.ReadBool(u"System", u"UserMode", false))
    return;
  const int version = ProductInfo().GetProductVersionId();
  TSetupUsers::Populate([&](const TSetupUser& user) {
    dirs.push_back({TSetupProfileHelper::GetProfilePath(user.AppData, version),
                    TSetupDirMark::RemoveTree, user.ProfileFolder});
  });
}

void TSetupActionUninstallFiles::Execute() {
  const std::vector<TSetupDirItem> dirs = CreateDirsList();
  const StringList files = CreateFileList();
  SetStatus(GetCommonString(u"A9"));
  const String& dest = Setup()->DestPath();
  const size_t total = files.size() + dirs.size();
  size_t done = 0;
  {
    // Held from one file to the next: the folders that neighbouring files share are opened
    // once. Let go of before the folders are removed (a held folder cannot be).
    TFolderChain chain;
    for (const String& file : files) {
      DeleteFileBelow(chain, dest, file);
      SetProgress(RoundedPercent(++done, total));
    }
  }
  // Children come before their parents, so every folder that held only recorded files is
  // empty by the time its turn comes. Failures leave the folder in place, nothing more.
  TFolderChain chain;
  for (const TSetupDirItem& dir : dirs) {
    if (dir.Mark == TSetupDirMark::RemoveTree) {
      chain.Release();  // a held folder cannot go, and the tree may take what the chain holds
      DeleteFolderTree(dir.Root, dir.Path);
    } else {
      RemoveEmptyFolderBelow(chain, dir.Root, dir.Path);
    }
    SetProgress(RoundedPercent(++done, total));
  }
}

}  // namespace nolu
