#include "ui/win32/gdi_canvas.h"

#include <objbase.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <vector>

#include "ui/win32/win32_backend.h"

namespace nolu::ui {
namespace {

using Microsoft::WRL::ComPtr;

COLORREF Ref(TColor c) {
  return RGB(c.R, c.G, c.B);
}

// The picture scaled to width × height with a high-quality filter, as premultiplied BGRA.
std::vector<uint32_t> ScaledPixels(const TPicture& picture, int width, int height) {
  if (picture.Width == width && picture.Height == height) return picture.Pixels;
  std::vector<uint32_t> out(static_cast<size_t>(width) * height);
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICBitmap> source;
  ComPtr<IWICBitmapScaler> scaler;
  if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_PPV_ARGS(&factory))) &&
      SUCCEEDED(factory->CreateBitmapFromMemory(
          static_cast<UINT>(picture.Width), static_cast<UINT>(picture.Height),
          GUID_WICPixelFormat32bppPBGRA, static_cast<UINT>(picture.Width * 4),
          static_cast<UINT>(picture.Pixels.size() * 4),
          reinterpret_cast<BYTE*>(const_cast<uint32_t*>(picture.Pixels.data())), &source)) &&
      SUCCEEDED(factory->CreateBitmapScaler(&scaler)) &&
      SUCCEEDED(scaler->Initialize(source.Get(), static_cast<UINT>(width),
                                   static_cast<UINT>(height), WICBitmapInterpolationModeFant)) &&
      SUCCEEDED(scaler->CopyPixels(nullptr, static_cast<UINT>(width * 4),
                                   static_cast<UINT>(out.size() * 4),
                                   reinterpret_cast<BYTE*>(out.data())))) {
    return out;
  }
  // Without the imaging component: the nearest pixel.
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      out[static_cast<size_t>(y) * width + x] =
          picture.Pixels[static_cast<size_t>(y * picture.Height / height) * picture.Width +
                         x * picture.Width / width];
  return out;
}

}  // namespace

TSize GdiTextSize(HDC dc, HFONT font, StringView text, int max_width) {
  HGDIOBJ old = SelectObject(dc, font);
  RECT rect{0, 0, max_width > 0 ? max_width : 100000, 0};
  UINT flags = DT_CALCRECT | DT_NOPREFIX | (max_width > 0 ? DT_WORDBREAK : 0);
  const std::wstring wide(text.begin(), text.end());
  ::DrawTextW(dc, wide.empty() ? L" " : wide.c_str(), -1, &rect, flags);
  SelectObject(dc, old);
  return {static_cast<int>(wide.empty() ? 0 : rect.right - rect.left),
          static_cast<int>(rect.bottom - rect.top)};
}

void TGdiCanvas::FillRect(const TRect& rect, TColor color) {
  if (rect.Empty()) return;
  RECT r{rect.Left, rect.Top, rect.Right(), rect.Bottom()};
  SetBkColor(dc_, Ref(color));
  ExtTextOutW(dc_, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

void TGdiCanvas::DrawText(const TRect& rect, StringView text, const TFont& font, TColor color,
                          const TTextFormat& format) {
  HGDIOBJ old = SelectObject(dc_, backend_.Font(font, dpi_));
  SetBkMode(dc_, TRANSPARENT);
  SetTextColor(dc_, Ref(color));
  RECT r{rect.Left, rect.Top, rect.Right(), rect.Bottom()};
  UINT flags = DT_NOPREFIX;
  flags |= format.Horizontal == THorzAlign::haRight    ? DT_RIGHT
           : format.Horizontal == THorzAlign::haCenter ? DT_CENTER
                                                       : DT_LEFT;
  if (format.WordWrap) {
    flags |= DT_WORDBREAK;
  } else {
    flags |= DT_SINGLELINE;
    if (format.Vertical == TVertAlign::vaCenter) flags |= DT_VCENTER;
    if (format.Vertical == TVertAlign::vaBottom) flags |= DT_BOTTOM;
    if (format.EndEllipsis) flags |= DT_END_ELLIPSIS;
  }
  const std::wstring wide(text.begin(), text.end());
  ::DrawTextW(dc_, wide.c_str(), -1, &r, flags);
  SelectObject(dc_, old);
}

TSize TGdiCanvas::MeasureText(StringView text, const TFont& font, int max_width) {
  return GdiTextSize(dc_, backend_.Font(font, dpi_), text, max_width);
}

void TGdiCanvas::DrawPicture(const TRect& rect, const TPicture& picture, bool opaque) {
  if (rect.Empty() || picture.Empty() || picture.Pixels.empty()) return;
  const std::vector<uint32_t> pixels = ScaledPixels(picture, rect.Width, rect.Height);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = rect.Width;
  info.bmiHeader.biHeight = -rect.Height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  if (opaque) {
    SetDIBitsToDevice(dc_, rect.Left, rect.Top, static_cast<DWORD>(rect.Width),
                      static_cast<DWORD>(rect.Height), 0, 0, 0, static_cast<UINT>(rect.Height),
                      pixels.data(), &info, DIB_RGB_COLORS);
    return;
  }
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return;
  std::copy(pixels.begin(), pixels.end(), static_cast<uint32_t*>(bits));
  HDC memory = CreateCompatibleDC(dc_);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  AlphaBlend(dc_, rect.Left, rect.Top, rect.Width, rect.Height, memory, 0, 0, rect.Width,
             rect.Height, blend);
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(bitmap);
}

namespace {

// A font of a formatted label's run, selected into a device context for its lifetime.
class TSelectedRunFont {
 public:
  TSelectedRunFont(HDC dc, const TRuxTextFont& font) : dc_(dc) {
    LOGFONTW log{};
    log.lfHeight = -font.Height;
    log.lfWeight = font.Has(fsBold) ? FW_BOLD : FW_NORMAL;
    log.lfItalic = font.Has(fsItalic);
    log.lfUnderline = font.Has(fsUnderline);
    log.lfStrikeOut = font.Has(fsStrikeOut);
    log.lfCharSet = DEFAULT_CHARSET;
    log.lfQuality = CLEARTYPE_QUALITY;
    const std::wstring name(font.Name.begin(), font.Name.end());
    wcsncpy_s(log.lfFaceName, name.c_str(), _TRUNCATE);
    font_ = CreateFontIndirectW(&log);
    old_ = SelectObject(dc_, font_);
  }
  ~TSelectedRunFont() {
    SelectObject(dc_, old_);
    DeleteObject(font_);
  }
  TSelectedRunFont(const TSelectedRunFont&) = delete;
  TSelectedRunFont& operator=(const TSelectedRunFont&) = delete;

 private:
  HDC dc_;
  HFONT font_;
  HGDIOBJ old_;
};

}  // namespace

TRuxTextExtent TGdiCanvas::MeasureRun(const TRuxTextFont& font, StringView text) {
  TSelectedRunFont selected(dc_, font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc_, &metrics);
  SIZE size{};
  if (!text.empty()) {
    const std::wstring wide(text.begin(), text.end());
    GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &size);
  }
  return {static_cast<int>(size.cx), static_cast<int>(metrics.tmHeight),
          static_cast<int>(metrics.tmAscent)};
}

void TGdiCanvas::DrawRun(int x, int baseline, StringView text, const TRuxTextFont& font,
                         TColor color) {
  TSelectedRunFont selected(dc_, font);
  SetBkMode(dc_, TRANSPARENT);
  SetTextColor(dc_, Ref(color));
  const UINT align = SetTextAlign(dc_, TA_BASELINE | TA_LEFT);
  const std::wstring wide(text.begin(), text.end());
  ExtTextOutW(dc_, x, baseline, 0, nullptr, wide.c_str(), static_cast<UINT>(wide.size()), nullptr);
  SetTextAlign(dc_, align);
}

void TGdiCanvas::DrawSystemIcon(const TRect& rect, TSystemIcon icon) {
  LPCWSTR id = icon == TSystemIcon::siError      ? IDI_ERROR
               : icon == TSystemIcon::siQuestion ? IDI_QUESTION
               : icon == TSystemIcon::siWarning  ? IDI_WARNING
                                                 : IDI_INFORMATION;
  HICON handle =
      static_cast<HICON>(LoadImageW(nullptr, id, IMAGE_ICON, rect.Width, rect.Height, LR_SHARED));
  if (!handle) handle = LoadIconW(nullptr, id);
  DrawIconEx(dc_, rect.Left, rect.Top, handle, rect.Width, rect.Height, 0, nullptr, DI_NORMAL);
}

}  // namespace nolu::ui
