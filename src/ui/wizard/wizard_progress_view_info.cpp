#include "ui/wizard/wizard_progress_view_info.h"

#include "ui/pages/setup_custom_page.h"
#include "ui/wizard/wizard_form.h"

namespace nolu::ui {

void TWizardProgressViewInfo::Calculate(const TRect& strip) {
  strip_ = strip;
  bar_ = strip.Shrunk(0, Scale(2), 0, Scale(2));
  const int count = Form().Pages().Count();
  if (count > 2) segment_width_ = bar_.Width / (count - 1);
}

void TWizardProgressViewInfo::Draw(ICanvas& canvas, TSetupCustomPage* page) const {
  const TWizardPalette& palette = Form().Palette();
  canvas.FillRect(strip_, palette.ProgressBackground);
  const int index = Form().Pages().IndexOf(page);
  if (index < 0) return;
  const TRect segment{bar_.Left + index * segment_width_, bar_.Top, segment_width_, bar_.Height};
  DrawDots(canvas, segment, segment_width_ / 6, palette.ProgressDots);
  const int filled = segment.Left + MulDiv(segment_width_, page->GetProgress(), 100) - bar_.Left;
  if (filled > 0) canvas.FillRect({bar_.Left, bar_.Top, filled, bar_.Height}, palette.ProgressFill);
}

}  // namespace nolu::ui
