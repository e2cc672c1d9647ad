#include "product/actions/setup_action_addons_install.h"

#include "base/format.h"
#include "base/path.h"
#include "core/file_operations.h"
#include "core/held_file.h"
#include "core/private_temp_folder.h"
#include "core/setup_summary_builder.h"
#include "platform/platform.h"
#include "product/options/addons_info.h"
#include "product/options/product_options.h"
#include "resources/setup_resources.h"

namespace nolu {

String TSetupActionAddonsInstall::Parameters(const TAddonsInfo& info,
                                             const TAddonChoices& choices) {
  String pieces;
  if (!choices.AddonsExtensions) pieces += info.Value(u"P1") + u" ";
  if (choices.AddonsViewer) pieces += info.Value(u"P2") + u" ";
  if (choices.AddonsShortcuts) pieces += info.Value(u"P3") + u" ";
  return Format(info.Value(u"CL"), {pieces});
}

void TSetupActionAddonsInstall::Execute() {
  const TAddonChoices choices = TAddonChoices::Read(Options());
  if (!choices.Any()) return;
  const TAddonsInfo info = TAddonsInfo::Load(Resources());
  const String entry = info.Value(u"P4");
  const std::unique_ptr<TMemoryStream> installer_data = Resources().GetStream(entry);

  TPlatform& platform = CurrentPlatform();
  // The installer runs elevated from a folder of the run's own, held until it has started:
  // under a fixed name in the temporary folder another program could have put its own file
  // there, or changed ours, first. Only the entry's file name is used, whatever folder the
  // entry has in the package. Nothing else would ever delete the two.
  const String folder = CreatePrivateTempFolder();
  THeldFile installer = THeldFile::Write(*installer_data, folder + ExtractFileName(entry));
  DeleteOnReboot(installer.Path());
  DeleteOnReboot(ExcludeTrailingBackslash(folder));

  // In the system folder: the caller's current folder is often the downloads folder, where
  // anyone may have put a library that the installer would load.
  TShellExecuteInfo start;
  start.File = installer.Path();
  start.Parameters = Parameters(info, choices);
  platform.Shell().SpecialFolder(Csidl::kSystem, start.Folder);
  start.Show = kSwShowNormal;
  // The installer runs on its own; whether it starts is its own business.
  platform.Shell().Execute(start);
}

void TSetupActionAddonsInstall::PopulateSummary(TSetupSummaryBuilder& builder) {
  const TAddonChoices choices = TAddonChoices::Read(Options());
  builder.AddCaption(u"PageAddons", u"Title");
  if (choices.AddonsViewer) builder.AddItem(u"PageAddons", u"CB1");
  if (choices.AddonsExtensions) builder.AddItem(u"PageAddons", u"CB2");
  if (choices.AddonsShortcuts) builder.AddItem(u"PageAddons", u"CB3");
}

}  // namespace nolu
