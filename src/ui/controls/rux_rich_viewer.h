// TRuxRichViewer: a read-only viewer of rich text (RTF) or plain text with clickable links
// and a zoom that follows the DPI.
#pragma once

#include "base/stream.h"
#include "base/text.h"
#include "ui/controls/rux_custom_control.h"

namespace nolu::ui {

class TRuxRichViewer : public TRuxCustomControl {
 public:
  TControlKind Kind() const override { return TControlKind::kRichViewer; }
  TAccessibleRole AccessibleRole() const override { return TAccessibleRole::arDocument; }
  bool TabStop() const override { return true; }

  // Reads RTF from the stream's position to its end; none loads nothing.
  void LoadFromStream(TStream* stream);
  // Replaces the document by plain text.
  void SetText(StringView text);
  bool IsRtf() const { return is_rtf_; }
  const Bytes& Rtf() const { return rtf_; }
  const String& PlainText() const { return text_; }

  // The zoom in percent (100 at first) and the control's zoom as numerator / 64.
  int Zoom() const { return zoom_; }
  int ZoomNumerator() const { return zoom_numerator_; }
  // Applies `percent` when its numerator (ZoomNumeratorFor) lies strictly between 1 and
  // 4096; false, changing nothing, otherwise.
  bool SetZoom(int percent);
  // round(p × 0.63 + 1) up to 100 %, round(p × 0.64) above, both rounding half to even on
  // the exact decimal values.
  static int ZoomNumeratorFor(int percent);
  static constexpr int kZoomDenominator = 64;

  // The DPI moved from `old_dpi` to `new_dpi`: the zoom moves by the same factor.
  void DpiChanged(int old_dpi, int new_dpi) override;

  // A link of the document was clicked; its text (the range's characters) is opened as the
  // application opens links. An empty text does nothing.
  void LinkClicked(StringView text);

 private:
  bool is_rtf_ = false;
  Bytes rtf_;
  String text_;
  int zoom_ = 100;
  int zoom_numerator_ = 64;
};

}  // namespace nolu::ui
