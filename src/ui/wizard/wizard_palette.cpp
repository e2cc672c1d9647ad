#include "ui/wizard/wizard_palette.h"

namespace nolu::ui {

void TWizardPalette::UpdatePalette(bool dark, bool high_contrast, const TSystemColors& system) {
  if (high_contrast) {
    // Every colour is one the user chose for the system, so the chosen contrast holds.
    Accent = system.Highlight;
    Panel = system.Window;
    PageBackground = system.Window;
    PageBackgroundEnd = system.Window;
    Footer = system.ButtonFace;
    FooterBorder = system.ButtonText;
    VersionText = system.ButtonText;
    HeaderText = system.WindowText;
    ProgressFill = system.Highlight;
    ProgressBackground = system.Window;
    ProgressDots = system.Highlight;
    Controls.Window = system.Window;
    Controls.Text = system.WindowText;
    Controls.DisabledText = system.GrayText;
    Controls.Face = system.ButtonFace;
    Controls.FaceHot = system.Highlight;
    Controls.Border = system.ButtonText;
    Controls.Accent = system.Highlight;
    Controls.AccentText = system.HighlightText;
    Controls.Focus = system.WindowText;
    Controls.Link = system.HotLight;
    Controls.Warning = system.WindowText;
    return;
  }
  Accent = dark ? TColor::Rgb(172, 103, 28) : TColor::Rgb(222, 140, 51);
  Panel = dark ? TColor::Rgb(42, 42, 42) : TColor::Rgb(255, 255, 255);
  PageBackground = dark ? TColor::Rgb(38, 38, 38) : TColor::Rgb(255, 255, 255);
  PageBackgroundEnd = PageBackground;
  VersionText = TColor::Rgb(240, 240, 240);
  HeaderText = dark ? TColor::Rgb(255, 255, 255) : TColor::Rgb(0, 0, 0);
  // The entries derived from the accent and the panel.
  Footer = Accent;
  FooterBorder = Accent;
  ProgressFill = Accent;
  ProgressBackground = Panel;
  ProgressDots = Accent;

  Controls.Window = PageBackground;
  Controls.Accent = Accent;
  Controls.AccentText = TColor::Rgb(255, 255, 255);
  if (dark) {
    Controls.Text = TColor::Rgb(240, 240, 240);
    Controls.DisabledText = TColor::Rgb(150, 150, 150);
    Controls.Face = TColor::Rgb(58, 58, 58);
    Controls.FaceHot = TColor::Rgb(74, 74, 74);
    Controls.Border = TColor::Rgb(130, 130, 130);
    Controls.Focus = TColor::Rgb(240, 240, 240);
    // The light scheme's link blue is too dark to read on the dark page.
    Controls.Link = TColor::Rgb(110, 170, 255);
    Controls.Warning = TColor::Rgb(255, 153, 102);
  } else {
    Controls.Text = TColor::Rgb(0, 0, 0);
    Controls.DisabledText = TColor::Rgb(109, 109, 109);
    Controls.Face = TColor::Rgb(253, 253, 253);
    Controls.FaceHot = TColor::Rgb(255, 244, 232);
    Controls.Border = TColor::Rgb(122, 122, 122);
    Controls.Focus = TColor::Rgb(0, 0, 0);
    Controls.Link = TColor::Rgb(0, 102, 204);
    Controls.Warning = TColor::Rgb(196, 43, 28);
  }
}

}  // namespace nolu::ui
