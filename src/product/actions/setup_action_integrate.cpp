#include "product/actions/setup_action_integrate.h"

#include "core/file_operations.h"
#include "core/setup.h"
#include "core/setup_summary_builder.h"
#include "platform/platform.h"
#include "product/options/product_options.h"

namespace nolu {

void TSetupActionIntegrate::Execute() {
  TSetup& setup = *Setup();
  TPlatform& platform = CurrentPlatform();
  const String elevator = setup.DestPath() + u"Elevator.exe";
  if (!platform.Files().FileExists(elevator)) return;

  const TIntegrationChoices choices = TIntegrationChoices::Read(Options(), setup.Flags());
  String switches;
  if (choices.IntegrateToWindows) switches += u" /REG=L1 /REG=D1 /REG=R1";
  if (choices.RegisterContextMenu) switches += u" /REG=M1";
  if (choices.AssociateWithFiles) {
    switches += u" /REG=R2";
    if (platform.System().OsVersion().AtLeast(6, 2) && (setup.Flags() & sfAuto) == 0) {
      switches += u" /REG_UI";
    }
  }
  if (switches.empty()) return;
  // Quoted: an unquoted program path with blanks ("C:\Program Files\...") would let the system
  // try "C:\Program.exe" first. It runs in its own folder, not in the caller's.
  RunAndWait(u"\"" + elevator + u"\"" + switches, setup.DestPath());
}

void TSetupActionIntegrate::PopulateSummary(TSetupSummaryBuilder& builder) {
  const TIntegrationChoices choices = TIntegrationChoices::Read(Options(), Setup()->Flags());
  builder.AddCaption(u"PageIntegration", u"LB2");
  if (choices.IntegrateToWindows) builder.AddItem(u"PageIntegration", u"CB4");
  if (choices.RegisterContextMenu) builder.AddItem(u"PageIntegration", u"CB5");
  if (choices.AssociateWithFiles) builder.AddItem(u"PageIntegration", u"CB3");
}

}  // namespace nolu
