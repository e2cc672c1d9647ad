#include "product/update/setup_update_task_update_configs.h"

#include <vector>

#include "base/errors.h"
#include "core/file_search_helper.h"
#include "core/folder_chain.h"
#include "core/setup.h"
#include "platform/error_codes.h"
#include "platform/platform.h"
#include "product/update/setup_helper.h"

namespace nolu {
namespace {

// What one migration does to a file (or folder) of an older version.
enum class TStepKind {
  kRename,    // the old file gets the new name in the same folder, if it exists
  kDrop,      // the file goes on the removal list, if it exists
  kDeleteDir  // every file of the folder's tree goes on the removal list
};

struct TStep {
  TStepKind Kind;
  StringView Name;
  StringView NewName = {};
};

// The folder a row's names are relative to.
enum class TRowBase { kDestination, kProfile };

// A row runs when the installed version is below `Below`.
struct TMigrationRow {
  int Below;
  TRowBase Base;
  std::vector<TStep> Steps;
  // A failure of the row is passed over rather than ending the run.
  bool IgnoreErrors = false;
};

const std::vector<TMigrationRow>& MigrationRows() {
  using enum TStepKind;
  static const std::vector<TMigrationRow> rows{
      {4000, TRowBase::kDestination, {{kRename, u"Nolu3.ini", u"Nolu.ini"}}},
      {4000,
       TRowBase::kProfile,
       {{kRename, u"Nolu3-cat.db", u"Nolu-cat.db"},
        {kRename, u"nolu3_menu.ini", u"Nolu-ContextMenu.ini"},
        {kRename, u"Nolu3.ini", u"Nolu.ini"},
        {kRename, u"Nolu3vc.ini", u"Noluvc.ini"},
        {kRename, u"Nolu3vte.ini", u"Noluvte.ini"},
        {kDrop, u"Nolu3-SkinLayout.ini"},
        {kDrop, u"Nolu3.bak"},
        {kDrop, u"Nolu3vc.bak"},
        {kDrop, u"Nolu3vte.bak"}}},
      {4500,
       TRowBase::kDestination,
       {{kDrop, u"Skins\\SkinA.nsk4"}, {kDrop, u"Skins\\SkinB.nsk4"}}},
      {4600, TRowBase::kProfile, {{kDrop, u"AlbumArts.db"}}},
      {5020,
       TRowBase::kProfile,
       {{kDrop, u"AlbumArtCache.db"}, {kRename, u"AlbumArtsForURLs.db", u"AlbumArts.Custom.db"}},
       /*IgnoreErrors=*/true},
      {5401,
       TRowBase::kDestination,
       {{kDrop, u"System\\libsoxr.dll"},
        {kDeleteDir, u"System\\Encoders\\"},
        {kDeleteDir, u"System\\Data\\"}}},
  };
  return rows;
}

// Renames `name` to `new_name` in `folder` if it exists; a failure raises the system's error.
void Rename(StringView folder, StringView name, StringView new_name) {
  TPlatform& platform = CurrentPlatform();
  const String from = String(folder) + String(name);
  if (!platform.Files().FileExists(from)) return;
  const String to = String(folder) + String(new_name);
  const uint32_t error = platform.Files().Move(from, to);
  if (error != kErrorSuccess) {
    throw EOSError(error, platform.System().SysErrorMessage(error), from + u" -> " + to);
  }
}

void RunStep(const TStep& step, StringView folder, StringList* removal_list) {
  const String path = String(folder) + String(step.Name);
  switch (step.Kind) {
    case TStepKind::kRename:
      Rename(folder, step.Name, step.NewName);
      break;
    case TStepKind::kDrop:
      if (removal_list && CurrentPlatform().Files().FileExists(path)) {
        removal_list->push_back(path);
      }
      break;
    case TStepKind::kDeleteDir:
      TSetupUpdateTaskUpdateConfigs::DoDeleteDir(removal_list, path);
      break;
  }
}

}  // namespace

void TSetupUpdateTaskUpdateConfigs::Execute(StringList* removal_list) {
  TSetupHelper::CopyFolder(profile_.RootPath, profile_.SourcePath, profile_.TargetPath,
                           /*delete_source=*/false);
  // The new profile folder is what the user keeps.
  if (removal_list) TSetupHelper::ExcludePath(*removal_list, profile_.TargetPath);

  const int installed = ProductInfo().GetInstalledVersion();
  const String& dest = Setup()->DestPath();
  TPlatform& platform = CurrentPlatform();
  for (const TMigrationRow& row : MigrationRows()) {
    if (installed >= row.Below) continue;
    const String& folder = row.Base == TRowBase::kDestination ? dest : profile_.TargetPath;
    try {
      // The user's profile folder is the user's: its renames happen while the way to it is
      // held, so that none of them can be led elsewhere by a link put there meanwhile.
      TFolderChain chain;
      if (row.Base == TRowBase::kProfile) {
        if (const uint32_t error = chain.Hold(profile_.RootPath, folder)) {
          throw EOSError(error, platform.System().SysErrorMessage(error), folder);
        }
      }
      for (const TStep& step : row.Steps)
        RunStep(step, folder, removal_list);
    } catch (const Exception&) {
      if (!row.IgnoreErrors) throw;
    }
  }
}

void TSetupUpdateTaskUpdateConfigs::DoDeleteDir(StringList* removal_list, StringView folder) {
  if (!removal_list || !CurrentPlatform().Files().FolderExists(folder)) return;
  FindFiles(folder, u"", *removal_list);
}

}  // namespace nolu
