#include "product/options/product_options.h"

namespace nolu {

TIntegrationChoices TIntegrationChoices::Read(const TRuxIniFile& options, TSetupFlags flags) {
  const bool shortcuts = (flags & sfPortable) == 0;
  TIntegrationChoices choices;
  choices.IntegrateToWindows = options.ReadBool(u"Integration", u"IntegrateToWindows", true);
  choices.RegisterContextMenu = options.ReadBool(u"Integration", u"RegisterContextMenu", true);
  choices.AssociateWithFiles = options.ReadBool(u"Integration", u"AssociateWithFiles", true);
  choices.ShortcutDesktop = options.ReadBool(u"Integration", u"ShortcutDesktop", shortcuts);
  choices.ShortcutStartMenu = options.ReadBool(u"Integration", u"ShortcutStartMenu", shortcuts);
  return choices;
}

TAddonChoices TAddonChoices::Read(const TRuxIniFile& options) {
  TAddonChoices choices;
  choices.AddonsViewer = options.ReadBool(u"Common", u"AddonsViewer", false);
  choices.AddonsExtensions = options.ReadBool(u"Common", u"AddonsExtensions", false);
  choices.AddonsShortcuts = options.ReadBool(u"Common", u"AddonsShortcuts", false);
  return choices;
}

TRemovalChoices TRemovalChoices::Read(const TRuxIniFile& options, TSetupFlags flags) {
  TRemovalChoices choices;
  choices.RemoveBackups = options.ReadBool(u"Common", u"RemoveBackups", (flags & sfAuto) != 0);
  choices.RemoveContent = options.ReadBool(u"Common", u"RemoveContent", false);
  return choices;
}

void CopyIntegrationSection(const TRuxIniFile& source, TRuxIniFile& target) {
  target.WriteSectionText(u"Integration", source.ReadSectionText(u"Integration"));
}

}  // namespace nolu
