// TRecordingCanvas: a canvas that draws nothing and records every call, for tests of
// painting code. Text is measured as the headless backend measures it (text_metrics.h).
#pragma once

#include <vector>

#include "ui/controls/canvas.h"

namespace nolu::ui {

struct TCanvasCall {
  enum class Kind { kFill, kText, kPicture, kIcon, kRun };
  Kind CallKind = Kind::kFill;
  TRect Rect;
  TColor Color;
  String Text;
  TFont Font;
  TTextFormat Format;
  const TPicture* Picture = nullptr;
  bool Opaque = false;
  TSystemIcon Icon = TSystemIcon::siNone;
  // DrawRun: the run's font; Rect.Left is its x and Rect.Top its baseline.
  TRuxTextFont RunFont;
};

class TRecordingCanvas : public ICanvas {
 public:
  explicit TRecordingCanvas(int dpi = kDefaultDpi) : dpi_(dpi) {}

  int Dpi() const override { return dpi_; }
  void FillRect(const TRect& rect, TColor color) override;
  void DrawText(const TRect& rect, StringView text, const TFont& font, TColor color,
                const TTextFormat& format) override;
  TSize MeasureText(StringView text, const TFont& font, int max_width = 0) override;
  void DrawPicture(const TRect& rect, const TPicture& picture, bool opaque) override;
  void DrawSystemIcon(const TRect& rect, TSystemIcon icon) override;
  // A fixed advance of half the pixel height per character; ascent = height, descent a
  // quarter of it.
  TRuxTextExtent MeasureRun(const TRuxTextFont& font, StringView text) override;
  void DrawRun(int x, int baseline, StringView text, const TRuxTextFont& font,
               TColor color) override;

  const std::vector<TCanvasCall>& Calls() const { return calls_; }
  std::vector<TCanvasCall> Fills() const { return Only(TCanvasCall::Kind::kFill); }
  std::vector<TCanvasCall> Texts() const { return Only(TCanvasCall::Kind::kText); }
  std::vector<TCanvasCall> Pictures() const { return Only(TCanvasCall::Kind::kPicture); }
  std::vector<TCanvasCall> Runs() const { return Only(TCanvasCall::Kind::kRun); }
  void Clear() { calls_.clear(); }

 private:
  std::vector<TCanvasCall> Only(TCanvasCall::Kind kind) const;

  int dpi_;
  std::vector<TCanvasCall> calls_;
};

}  // namespace nolu::ui
