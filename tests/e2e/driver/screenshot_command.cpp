// screenshot: a window's pixels as a PNG file, for the page artifacts of the wizard tests.
#include <windows.h>
// The imaging and COM headers build on <windows.h>.
#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>

#include "arguments.h"
#include "driver_commands.h"
#include "win32_handles.h"
#include "win32_text.h"
#include "window_search.h"

namespace nolu::driver {
namespace {

using Microsoft::WRL::ComPtr;

void Check(HRESULT hr, StringView what) {
  if (FAILED(hr)) throw SystemFailure(what, static_cast<int64_t>(hr));
}

// A top-down 32-bit DIB section, the target of the capture.
class DibSurface {
 public:
  DibSurface(HDC reference, int width, int height)
      : bitmap_(Create(reference, width, height, &bits_)) {
    if (!bitmap_) throw SystemFailure(u"CreateDIBSection", GetLastError());
  }
  HBITMAP get() const { return static_cast<HBITMAP>(bitmap_.get()); }
  const uint32_t* pixels() const { return static_cast<const uint32_t*>(bits_); }

 private:
  static HBITMAP Create(HDC reference, int width, int height, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(reference, &info, DIB_RGB_COLORS, bits, nullptr, 0);
  }

  void* bits_ = nullptr;  // before bitmap_: Create fills it while bitmap_ is initialised
  GdiBitmap bitmap_;
};

bool AllBlack(const uint32_t* pixels, size_t count) {
  return std::all_of(pixels, pixels + count, [](uint32_t p) { return (p & 0xffffff) == 0; });
}

void WritePng(HBITMAP bitmap, const String& path) {
  ComPtr<IWICImagingFactory> factory;
  Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                         IID_PPV_ARGS(&factory)),
        u"creating the imaging factory");
  ComPtr<IWICBitmap> source;
  Check(factory->CreateBitmapFromHBITMAP(bitmap, nullptr, WICBitmapIgnoreAlpha, &source),
        u"CreateBitmapFromHBITMAP");
  ComPtr<IWICStream> stream;
  Check(factory->CreateStream(&stream), u"CreateStream");
  Check(stream->InitializeFromFilename(Wide(path), GENERIC_WRITE), u"creating " + path);
  ComPtr<IWICBitmapEncoder> encoder;
  Check(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder), u"CreateEncoder");
  Check(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache),
        u"IWICBitmapEncoder::Initialize");
  ComPtr<IWICBitmapFrameEncode> frame;
  ComPtr<IPropertyBag2> properties;
  Check(encoder->CreateNewFrame(&frame, &properties), u"CreateNewFrame");
  Check(frame->Initialize(properties.Get()), u"IWICBitmapFrameEncode::Initialize");
  UINT width = 0;
  UINT height = 0;
  Check(source->GetSize(&width, &height), u"IWICBitmap::GetSize");
  Check(frame->SetSize(width, height), u"SetSize");
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  Check(frame->SetPixelFormat(&format), u"SetPixelFormat");
  Check(frame->WriteSource(source.Get(), nullptr), u"WriteSource");
  Check(frame->Commit(), u"committing the frame");
  Check(encoder->Commit(), u"writing " + path);
}

}  // namespace

ExitCode TakeScreenshot(const StringList& args, JsonWriter& result) {
  const Arguments a(args, kWindowQueryOptions + OptionNames{{u"out", u"timeout"}, {u"desktop"}});
  const std::optional<String> out = a.Find(u"out");
  if (!out || out->empty()) throw UsageError(u"give the file: --out FILE.png");
  const HWND window =
      a.Has(u"desktop") ? GetDesktopWindow()
                        : WaitForTopLevelWindow(ReadWindowQuery(a),
                                                a.GetMilliseconds(u"timeout", kDefaultWaitSeconds));
  RECT rect{};
  GetWindowRect(window, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) throw NotFoundError(u"the window has no area to capture");

  const ComApartment com;
  const WindowDc source(window);
  const MemoryDc target(CreateCompatibleDC(source.get()));
  const DibSurface surface(source.get(), width, height);
  const HGDIOBJ previous = SelectObject(target.get(), surface.get());
  // The window's own surface first: it holds what the user sees, frame included. Should it
  // come back empty, ask the window to print itself.
  const char16_t* method = u"bitblt";
  BitBlt(target.get(), 0, 0, width, height, source.get(), 0, 0, SRCCOPY | CAPTUREBLT);
  GdiFlush();
  if (AllBlack(surface.pixels(), static_cast<size_t>(width) * height)) {
    method = u"printwindow";
    PrintWindow(window, target.get(), PW_RENDERFULLCONTENT);
    GdiFlush();
  }
  SelectObject(target.get(), previous);
  WritePng(surface.get(), *out);

  result.Field("file", *out)
      .Field("hwnd", HandleText(window))
      .Field("width", static_cast<int64_t>(width))
      .Field("height", static_cast<int64_t>(height))
      .Field("method", method);
  return ExitCode::kOk;
}

}  // namespace nolu::driver
