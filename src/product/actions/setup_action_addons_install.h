// TSetupActionAddonsInstall: starts the partner's add-on installer with the pieces the user
// chose on the add-on page, without waiting for it. Part of the run only when the add-on offer
// applies (AddonsOffered).
#pragma once

#include "core/setup_action.h"

namespace nolu {

class TAddonsInfo;
struct TAddonChoices;

class TSetupActionAddonsInstall : public TSetupAction {
 public:
  static constexpr char16_t kClassName[] = u"TSetupActionAddonsInstall";

  // Nothing unless one add-on choice is set. Then the installer entry (P4 of "addons.ini") is
  // saved to the temporary folder and started through the shell with Parameters.
  void Execute() override;
  void PopulateSummary(TSetupSummaryBuilder& builder) override;

  // The installer's parameter string: CL of "addons.ini" formatted with the chosen pieces, each
  // followed by a blank: P1 when associations are not wanted, P2 for the viewer, P3 for its
  // shortcuts.
  static String Parameters(const TAddonsInfo& info, const TAddonChoices& choices);
};

}  // namespace nolu
