#include "base/text_layout/text_layout_painter.h"

namespace nolu {

void PaintTextLayout(const TRuxTextLayout& layout, ITextLayoutCanvas& canvas, int dx, int dy) {
  for (const TRuxTextLayoutRun& run : layout.Runs()) {
    if (!run.BackColor) continue;
    TRuxTextRect rect = run.Bounds;
    rect.Left += dx;
    rect.Top += dy;
    canvas.FillRect(rect, *run.BackColor);
  }
  for (const TRuxTextLayoutRun& run : layout.Runs()) {
    canvas.DrawText(run.Bounds.Left + dx, run.Baseline + dy, run.Text, run.Font, run.TextColor);
  }
}

}  // namespace nolu
