// The drawing objects of the wizard window: the layout rectangles and the painting of the
// background, the header (picture, accent line, page title and description) and the footer.
// Every length is in 96-DPI units, scaled to the form's DPI as length × DPI / 96.
#pragma once

#include "base/picture.h"
#include "ui/controls/canvas.h"

namespace nolu::ui {

class TWizardForm;
class TSetupCustomPage;

class TWizardCustomViewInfo {
 public:
  explicit TWizardCustomViewInfo(TWizardForm& form) : form_(form) {}
  virtual ~TWizardCustomViewInfo() = default;

  TWizardForm& Form() const { return form_; }
  int Dpi() const;
  int Scale(int value) const;

 protected:
  // `count` marks of 3 device pixels every 6, as high as `rect`, from its left edge.
  static void DrawDots(ICanvas& canvas, const TRect& rect, int count, TColor color);

 private:
  TWizardForm& form_;
};

class TWizardFormViewInfo : public TWizardCustomViewInfo {
 public:
  // Loads both header pictures ("header.png", "header_dark.png").
  explicit TWizardFormViewInfo(TWizardForm& form);

  // The header picture of the scheme in force now.
  const TPicture& HeaderImage() const;

  // In device pixels of the form's client area.
  TRect ClientBounds() const;
  TRect GetHeaderBounds() const;
  TRect GetProgressBounds() const;
  TRect GetFooterBounds() const;
  TRect GetCaptionBounds() const;
  // Where a page goes, in 96-DPI units (a page is a control with logical bounds).
  static TRect GetPageBounds(bool full_screen);

  void Draw(ICanvas& canvas, const TSetupCustomPage* page) const;

 private:
  TPicture header_light_;
  TPicture header_dark_;
};

}  // namespace nolu::ui
