#include "ui/pages/setup_page_full_screen.h"

#include "core/setup.h"
#include "resources/setup_resources.h"
#include "ui/controls/canvas.h"

namespace nolu::ui {

void TSetupPageFullScreen::CreateControls() {
  // Read once: a later change of the scheme keeps this picture.
  picture_ = nolu::Setup()->Resources().GetImage(
      Context().Application.DarkMode() ? u"wizard_dark.png" : u"wizard_light.png");
  text_ = &CreateLabel({210, 61, 400, 240}, u"L2", true);
  heading_ = &CreateLabel({210, 22, 400, 50}, u"L1", true);
  TFont font = heading_->Font();
  font.Size = 11;
  heading_->SetFont(font);
}

void TSetupPageFullScreen::Paint(ICanvas& canvas) {
  const TRect client = DeviceBounds();
  canvas.FillRect({0, 0, client.Width, client.Height}, Palette().PageBackground);
  canvas.DrawPicture(kPictureRect.Scaled(canvas.Dpi()), picture_, /*opaque=*/true);
}

}  // namespace nolu::ui
