// TSetupActionShortcuts: creates the shortcuts of the script's group "Shortcuts" on the
// desktop and in the start menu, as the user chose. Not part of updates: an update keeps the
// shortcuts the user has.
#pragma once

#include "core/setup_action.h"

namespace nolu {

class TSetupActionShortcuts : public TSetupAction {
 public:
  static constexpr char16_t kClassName[] = u"TSetupActionShortcuts";

  // For each entry of "Shortcuts" (name: the link's path; value: the target), in order:
  //   * used only when its upper-case name contains one of ShortcutTargets;
  //   * on Windows 8 and later only when the target is a program (".exe"): the start screen
  //     and the app list show programs, not documents;
  //   * a link that already points to the target (ignoring case) is left untouched;
  //   * otherwise, when the target file exists, its folder is created and a link holding the
  //     target alone is written over whatever file is there.
  // Failures skip the entry silently. Progress counts every entry, used or not.
  void Execute() override;
  void PopulateSummary(TSetupSummaryBuilder& builder) override;

  // The variables whose shortcuts are wanted: "$DESKTOP" for ShortcutDesktop, "$STARTMENU"
  // for ShortcutStartMenu. Empty until Execute.
  const StringList& ShortcutTargets() const { return shortcut_targets_; }

 private:
  bool IsWanted(const TSetupScriptFile& entry, bool programs_only) const;
  void CreateShortcut(const TSetupScriptFile& entry);

  StringList shortcut_targets_;
};

}  // namespace nolu
