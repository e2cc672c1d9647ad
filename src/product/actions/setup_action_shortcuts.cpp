#include "product/actions/setup_action_shortcuts.h"

#include <algorithm>

#include "base/locale.h"
#include "base/path.h"
#include "core/setup.h"
#include "core/setup_summary_builder.h"
#include "platform/error_codes.h"
#include "platform/platform.h"
#include "product/options/product_options.h"
#include "resources/setup_resources.h"
#include "resources/setup_script.h"

namespace nolu {

void TSetupActionShortcuts::Execute() {
  SetStatus(GetCommonString(u"A2"));
  const TIntegrationChoices choices = TIntegrationChoices::Read(Options(), Setup()->Flags());
  shortcut_targets_.clear();
  if (choices.ShortcutDesktop) shortcut_targets_.push_back(u"$DESKTOP");
  if (choices.ShortcutStartMenu) shortcut_targets_.push_back(u"$STARTMENU");

  const bool programs_only = CurrentPlatform().System().OsVersion().AtLeast(6, 2);
  const TSetupScriptGroup& shortcuts = Script().Shortcuts();
  const size_t count = shortcuts.Count();
  for (size_t i = 0; i < count; ++i) {
    const TSetupScriptFile& entry = shortcuts.Items(i);
    if (IsWanted(entry, programs_only)) CreateShortcut(entry);
    SetProgress(static_cast<int>(((i + 1) * 100 + count / 2) / count));
  }
}

bool TSetupActionShortcuts::IsWanted(const TSetupScriptFile& entry, bool programs_only) const {
  const String name = UpperCase(entry.Name);
  const bool wanted =
      std::any_of(shortcut_targets_.begin(), shortcut_targets_.end(),
                  [&](const String& variable) { return name.find(variable) != String::npos; });
  if (!wanted) return false;
  return !programs_only || EqualsIgnoreCase(ExtractFileExt(entry.ValueOrFileName()), u".exe");
}

void TSetupActionShortcuts::CreateShortcut(const TSetupScriptFile& entry) {
  TPlatform& platform = CurrentPlatform();
  IFileSystem& files = platform.Files();
  IShell& shell = platform.Shell();
  const String link_path = Resources().ExpandPath(entry.Name);
  const String target = Resources().ExpandPath(entry.ValueOrFileName());
  // A target that names no full path could only resolve against whatever folder is current.
  if (IsRelativePath(target) || IsRelativePath(link_path)) return;

  TShellLink existing;
  if (shell.ReadShellLink(link_path, existing) == kErrorSuccess &&
      EqualsIgnoreCase(existing.Target, target)) {
    return;  // the user's link, with whatever they changed on it, stays
  }
  if (!files.FileExists(target)) return;
  // The folder only now: a start-menu folder is never left empty for a link not written.
  if (files.ForceFolders(ExtractFilePath(link_path)) != kErrorSuccess) return;
  shell.CreateShellLink(link_path, TShellLink{target, {}, {}, {}});  // failures are not reported
}

void TSetupActionShortcuts::PopulateSummary(TSetupSummaryBuilder& builder) {
  const TIntegrationChoices choices = TIntegrationChoices::Read(Options(), Setup()->Flags());
  builder.AddCaption(u"PageIntegration", u"LB1");
  if (choices.ShortcutDesktop) builder.AddItem(u"PageIntegration", u"CB1");
  if (choices.ShortcutStartMenu) builder.AddItem(u"PageIntegration", u"CB2");
}

}  // namespace nolu
