// ICanvas: what painting code draws with. Coordinates are device pixels of the surface;
// font sizes are points, which the canvas turns into pixels for its DPI.
//
// The Win32 backend draws with GDI (ui/win32/gdi_canvas.h); TRecordingCanvas keeps the calls
// so that tests can check geometry and colours.
#pragma once

#include <cstdint>

#include "base/picture.h"
#include "base/text.h"
#include "base/text_layout/text_font.h"
#include "base/text_layout/text_measurer.h"
#include "ui/controls/rux_types.h"

namespace nolu::ui {

// How DrawText lays a text into its rectangle.
struct TTextFormat {
  THorzAlign Horizontal = THorzAlign::haLeft;
  TVertAlign Vertical = TVertAlign::vaTop;
  bool WordWrap = false;
  // Single line texts are neither wrapped nor shortened; what does not fit is clipped.
  bool EndEllipsis = false;
};

// The system's message icons.
enum class TSystemIcon : uint8_t { siNone, siError, siQuestion, siWarning, siInformation };

class ICanvas {
 public:
  virtual ~ICanvas() = default;
  virtual int Dpi() const = 0;
  virtual void FillRect(const TRect& rect, TColor color) = 0;
  // The text with a transparent background.
  virtual void DrawText(const TRect& rect, StringView text, const TFont& font, TColor color,
                        const TTextFormat& format) = 0;
  // The size the text takes in `font`; with `max_width` > 0 wrapped at that width.
  virtual TSize MeasureText(StringView text, const TFont& font, int max_width = 0) = 0;
  // The picture scaled to `rect`; `opaque` draws it without blending its alpha.
  virtual void DrawPicture(const TRect& rect, const TPicture& picture, bool opaque) = 0;
  virtual void DrawSystemIcon(const TRect& rect, TSystemIcon icon) = 0;

  // Text of a formatted label: fonts by pixel height with any of the markup's styles, text
  // placed on a baseline, so that the words of a row share it whatever their sizes.
  virtual TRuxTextExtent MeasureRun(const TRuxTextFont& font, StringView text) = 0;
  virtual void DrawRun(int x, int baseline, StringView text, const TRuxTextFont& font,
                       TColor color) = 0;
};

// A font's line height in pixels at `dpi`: the height of "Segoe UI" lines, which the
// headless measurements use as well (9 pt: 15 pixels at 96 DPI).
int LineHeightOf(const TFont& font, int dpi);

}  // namespace nolu::ui
