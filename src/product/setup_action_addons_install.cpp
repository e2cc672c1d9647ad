#include "product/setup_action_addons_install.h"

#include "base/format.h"
#include "base/path.h"
#include "core/setup_summary_builder.h"
#include "platform/error_codes.h"
#include "platform/platform.h"
#include "product/addons_info.h"
#include "product/product_options.h"
#include "resources/setup_resources.h"

namespace nolu {
namespace {

// The temporary folder with long folder names (GetTempPathW may give 8.3 aliases).
String LongTempFolder(IFileSystem& files) {
  const String temp = files.TempFolder();
  String long_temp;
  if (files.LongPathName(temp, long_temp) != kErrorSuccess) return temp;
  return IncludeTrailingBackslash(long_temp);
}

}  // namespace

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
  IFileSystem& files = platform.Files();
  // Only the entry's file name: the installer lands directly in the temporary folder, whatever
  // folder the entry has in the package.
  const String installer = LongTempFolder(files) + ExtractFileName(entry);
  // An earlier copy may be read-only; it is replaced all the same.
  if (files.Attributes(installer) != kInvalidAttributes) files.SetAttributes(installer, 0);
  {
    const std::unique_ptr<TStream> out = OpenFileOrRaise(installer, FileMode::kCreate);
    out->CopyRemainingFrom(*installer_data);
    out->Flush();
  }
  // The installer runs on its own; whether it starts is its own business.
  platform.Shell().ShellOpen(u"", installer, Parameters(info, choices), u"", kSwShowNormal);
}

void TSetupActionAddonsInstall::PopulateSummary(TSetupSummaryBuilder& builder) {
  const TAddonChoices choices = TAddonChoices::Read(Options());
  builder.AddCaption(u"PageAddons", u"Title");
  if (choices.AddonsViewer) builder.AddItem(u"PageAddons", u"CB1");
  if (choices.AddonsExtensions) builder.AddItem(u"PageAddons", u"CB2");
  if (choices.AddonsShortcuts) builder.AddItem(u"PageAddons", u"CB3");
}

}  // namespace nolu
