// TWizardPalette: the colours of the wizard and its pages, for the light or the dark scheme,
// or the system's own colours in high-contrast mode.
#pragma once

#include "ui/controls/rux_application.h"
#include "ui/controls/rux_types.h"
#include "ui/controls/ui_backend.h"

namespace nolu::ui {

struct TWizardPalette {
  TColor Accent;              // header bottom line
  TColor Panel;               // source of ProgressBackground
  TColor PageBackground;      // form and page background
  TColor PageBackgroundEnd;   // second stop of the page fill
  TColor Footer;              // footer fill, outer footer line
  TColor FooterBorder;        // inner footer line
  TColor VersionText;         // version label
  TColor HeaderText;          // header title and description
  TColor ProgressFill;        // filled part of the progress strip
  TColor ProgressBackground;  // progress strip background
  TColor ProgressDots;        // dotted current segment
  // What the controls on the pages are painted with.
  TRuxTheme Controls;

  // The palette of the scheme: `dark`, or with `high_contrast` the system's colours.
  void UpdatePalette(bool dark, bool high_contrast, const TSystemColors& system);
};

}  // namespace nolu::ui
