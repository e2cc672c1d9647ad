#include "ui/controls/rux_rich_viewer.h"

#include "ui/controls/rux_form.h"

namespace nolu::ui {
namespace {

// numerator / denominator rounded to the nearest integer, ties to the even one.
int64_t RoundHalfEven(int64_t numerator, int64_t denominator) {
  int64_t quotient = numerator / denominator;
  int64_t twice_rest = 2 * (numerator % denominator);
  if (twice_rest < 0) {
    --quotient;
    twice_rest += 2 * denominator;
  }
  if (twice_rest > denominator || (twice_rest == denominator && quotient % 2 != 0)) ++quotient;
  return quotient;
}

}  // namespace

void TRuxRichViewer::LoadFromStream(TStream* stream) {
  if (!stream) return;
  const int64_t size = stream->Size() - stream->Position();
  Bytes bytes(static_cast<size_t>(size > 0 ? size : 0));
  if (!bytes.empty()) stream->ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  rtf_ = std::move(bytes);
  text_.clear();
  is_rtf_ = true;
  NotifyPeer(TAspect::kContent);
}

void TRuxRichViewer::SetText(StringView text) {
  text_ = String(text);
  rtf_.clear();
  is_rtf_ = false;
  NotifyPeer(TAspect::kContent);
}

int TRuxRichViewer::ZoomNumeratorFor(int percent) {
  const int64_t p = percent;
  // p × 0.63 + 1 = (63p + 100) / 100; p × 0.64 = 64p / 100.
  return static_cast<int>(p <= 100 ? RoundHalfEven(63 * p + 100, 100) : RoundHalfEven(64 * p, 100));
}

bool TRuxRichViewer::SetZoom(int percent) {
  const int numerator = ZoomNumeratorFor(percent);
  if (numerator <= 1 || numerator >= 4096) return false;
  zoom_ = percent;
  zoom_numerator_ = numerator;
  NotifyPeer(TAspect::kState);
  return true;
}

void TRuxRichViewer::DpiChanged(int old_dpi, int new_dpi) {
  TRuxCustomControl::DpiChanged(old_dpi, new_dpi);
  SetZoom(static_cast<int>(static_cast<int64_t>(zoom_) * new_dpi / old_dpi));
}

void TRuxRichViewer::LinkClicked(StringView text) {
  if (text.empty()) return;
  if (TRuxForm* form = Form()) form->Application().OpenLink(text);
}

}  // namespace nolu::ui
