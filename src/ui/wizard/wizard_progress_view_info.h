// TWizardProgressViewInfo: the page-progress strip under the header. Pages before the active
// one show as a solid bar, the active page's segment is dotted and fills with its own
// progress, later pages show the strip's background.
#pragma once

#include "ui/wizard/wizard_view_info.h"

namespace nolu::ui {

class TWizardProgressViewInfo : public TWizardCustomViewInfo {
 public:
  using TWizardCustomViewInfo::TWizardCustomViewInfo;

  // Keeps the strip (device pixels) and derives the bar and the segment width; with two
  // pages or fewer the segment width keeps its value (0 at first).
  void Calculate(const TRect& strip);
  void Draw(ICanvas& canvas, TSetupCustomPage* page) const;

  const TRect& Strip() const { return strip_; }
  const TRect& Bar() const { return bar_; }
  int SegmentWidth() const { return segment_width_; }

 private:
  TRect strip_;
  TRect bar_;
  int segment_width_ = 0;
};

}  // namespace nolu::ui
