// TGdiCanvas: the canvas interface on a GDI device context (fonts from the backend, pictures
// scaled with the imaging component and blended with their alpha).
#pragma once

#include <windows.h>

#include "ui/controls/canvas.h"

namespace nolu::ui {

class TWin32Backend;

class TGdiCanvas : public ICanvas {
 public:
  TGdiCanvas(TWin32Backend& backend, HDC dc, int dpi) : backend_(backend), dc_(dc), dpi_(dpi) {}

  int Dpi() const override { return dpi_; }
  void FillRect(const TRect& rect, TColor color) override;
  void DrawText(const TRect& rect, StringView text, const TFont& font, TColor color,
                const TTextFormat& format) override;
  TSize MeasureText(StringView text, const TFont& font, int max_width = 0) override;
  void DrawPicture(const TRect& rect, const TPicture& picture, bool opaque) override;
  void DrawSystemIcon(const TRect& rect, TSystemIcon icon) override;
  TRuxTextExtent MeasureRun(const TRuxTextFont& font, StringView text) override;
  void DrawRun(int x, int baseline, StringView text, const TRuxTextFont& font,
               TColor color) override;

 private:
  TWin32Backend& backend_;
  HDC dc_;
  int dpi_;
};

// Measures text with GDI on a screen device context.
TSize GdiTextSize(HDC dc, HFONT font, StringView text, int max_width);

}  // namespace nolu::ui
