// TSetupActionIntegrate: hands file associations, the registration with the system and the
// context menu to the product's own registration program "Elevator.exe" in the destination
// folder, and waits until it ends. Not part of updates or portable installations.
#pragma once

#include "core/setup_action.h"

namespace nolu {

class TSetupActionIntegrate : public TSetupAction {
 public:
  static constexpr char16_t kClassName[] = u"TSetupActionIntegrate";

  // Switches, each only when its choice is set:
  //   " /REG=L1 /REG=D1 /REG=R1"  IntegrateToWindows
  //   " /REG=M1"                  RegisterContextMenu
  //   " /REG=R2"                  AssociateWithFiles, followed by " /REG_UI" on Windows 8 and
  //                               later in an interactive run (the system then lets the user
  //                               confirm the default program)
  // Nothing runs without "Elevator.exe" or without any switch.
  void Execute() override;
  void PopulateSummary(TSetupSummaryBuilder& builder) override;
};

}  // namespace nolu
