#include "ui/controls/recording_canvas.h"

#include "ui/controls/text_metrics.h"

namespace nolu::ui {

void TRecordingCanvas::FillRect(const TRect& rect, TColor color) {
  TCanvasCall call;
  call.CallKind = TCanvasCall::Kind::kFill;
  call.Rect = rect;
  call.Color = color;
  calls_.push_back(std::move(call));
}

void TRecordingCanvas::DrawText(const TRect& rect, StringView text, const TFont& font, TColor color,
                                const TTextFormat& format) {
  TCanvasCall call;
  call.CallKind = TCanvasCall::Kind::kText;
  call.Rect = rect;
  call.Color = color;
  call.Text = String(text);
  call.Font = font;
  call.Format = format;
  calls_.push_back(std::move(call));
}

TSize TRecordingCanvas::MeasureText(StringView text, const TFont& font, int max_width) {
  return ApproximateTextSize(text, font, dpi_, max_width);
}

void TRecordingCanvas::DrawPicture(const TRect& rect, const TPicture& picture, bool opaque) {
  TCanvasCall call;
  call.CallKind = TCanvasCall::Kind::kPicture;
  call.Rect = rect;
  call.Picture = &picture;
  call.Opaque = opaque;
  calls_.push_back(std::move(call));
}

void TRecordingCanvas::DrawSystemIcon(const TRect& rect, TSystemIcon icon) {
  TCanvasCall call;
  call.CallKind = TCanvasCall::Kind::kIcon;
  call.Rect = rect;
  call.Icon = icon;
  calls_.push_back(std::move(call));
}

TRuxTextExtent TRecordingCanvas::MeasureRun(const TRuxTextFont& font, StringView text) {
  const int descent = font.Height / 4;
  return {static_cast<int>(text.size()) * (font.Height / 2), font.Height + descent, font.Height};
}

void TRecordingCanvas::DrawRun(int x, int baseline, StringView text, const TRuxTextFont& font,
                               TColor color) {
  TCanvasCall call;
  call.CallKind = TCanvasCall::Kind::kRun;
  call.Rect = {x, baseline, 0, 0};
  call.Color = color;
  call.Text = String(text);
  call.RunFont = font;
  calls_.push_back(std::move(call));
}

std::vector<TCanvasCall> TRecordingCanvas::Only(TCanvasCall::Kind kind) const {
  std::vector<TCanvasCall> out;
  for (const TCanvasCall& call : calls_)
    if (call.CallKind == kind) out.push_back(call);
  return out;
}

}  // namespace nolu::ui
