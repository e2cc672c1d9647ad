// The user's choices that Nolu's actions read from the options store (filled by the wizard's
// pages, seeded from an installed copy), with the defaults that apply when a key is missing.
// The actions and their summary lines read them through here, so both always agree.
#pragma once

#include "base/ini_file.h"
#include "core/setup.h"

namespace nolu {

// Section "Integration".
struct TIntegrationChoices {
  bool IntegrateToWindows = true;
  bool RegisterContextMenu = true;
  bool AssociateWithFiles = true;
  // Default: true, false in portable mode.
  bool ShortcutDesktop = true;
  bool ShortcutStartMenu = true;

  static TIntegrationChoices Read(const TRuxIniFile& options, TSetupFlags flags);
};

// Section "Common": the optional software of the add-on installer; each default false.
struct TAddonChoices {
  bool AddonsViewer = false;
  bool AddonsExtensions = false;
  bool AddonsShortcuts = false;

  static TAddonChoices Read(const TRuxIniFile& options);
  bool Any() const { return AddonsViewer || AddonsExtensions || AddonsShortcuts; }
};

// Section "Common": what a removal takes besides the recorded files.
struct TRemovalChoices {
  // The backup folder (and, with RemoveContent, the whole product folder). Default: true in
  // an automatic removal, else false.
  bool RemoveBackups = false;
  // The users' data: the portable profile, or every user's profile in "UserMode".
  bool RemoveContent = false;

  static TRemovalChoices Read(const TRuxIniFile& options, TSetupFlags flags);
};

// Replaces the whole section "Integration" of `target` by that of `source` (emptied when
// `source` has none): the integration choices travel between the options store and the
// product's configuration file in both directions.
void CopyIntegrationSection(const TRuxIniFile& source, TRuxIniFile& target);

}  // namespace nolu
