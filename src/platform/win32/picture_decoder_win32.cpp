#include "platform/win32/picture_decoder_win32.h"

#include <objbase.h>
#include <windows.h>
// The imaging headers build on <windows.h>.
#include <wincodec.h>
#include <wrl/client.h>

#include <cmath>

namespace nolu {
namespace {

using Microsoft::WRL::ComPtr;

// COM for the calling thread while a picture is decoded; a thread that has it already keeps
// it as it is.
class TComForThisCall {
 public:
  TComForThisCall() : hr_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~TComForThisCall() {
    if (SUCCEEDED(hr_)) ::CoUninitialize();
  }
  TComForThisCall(const TComForThisCall&) = delete;
  TComForThisCall& operator=(const TComForThisCall&) = delete;

 private:
  HRESULT hr_;
};

}  // namespace

bool TWin32PictureDecoder::Decode(std::span<const uint8_t> bytes, TPicture& picture) {
  if (bytes.empty() || bytes.size() > 0x7FFFFFFF) return false;
  const TComForThisCall com;
  ComPtr<IWICImagingFactory> factory;
  if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&factory)))) {
    return false;
  }
  ComPtr<IWICStream> stream;
  if (FAILED(factory->CreateStream(&stream)) ||
      FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()),
                                          static_cast<DWORD>(bytes.size())))) {
    return false;
  }
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  if (FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                              &decoder)) ||
      FAILED(decoder->GetFrame(0, &frame))) {
    return false;
  }
  UINT width = 0;
  UINT height = 0;
  if (FAILED(frame->GetSize(&width, &height)) || width == 0 || height == 0 || width > 16384 ||
      height > 16384) {
    return false;
  }
  double dpi_x = 96;
  double dpi_y = 96;
  if (FAILED(frame->GetResolution(&dpi_x, &dpi_y)) || dpi_x < 1) dpi_x = 96;
  ComPtr<IWICBitmapSource> converted;
  if (FAILED(::WICConvertBitmapSource(GUID_WICPixelFormat32bppPBGRA, frame.Get(), &converted))) {
    return false;
  }
  TPicture out;
  out.Width = static_cast<int>(width);
  out.Height = static_cast<int>(height);
  // Files that say nothing report 96 (some decoders 72, which no picture here is drawn for).
  const int dpi = static_cast<int>(std::lround(dpi_x));
  out.Dpi = dpi >= 96 ? dpi : 96;
  out.Pixels.resize(static_cast<size_t>(width) * height);
  if (FAILED(converted->CopyPixels(nullptr, width * 4, static_cast<UINT>(out.Pixels.size() * 4),
                                   reinterpret_cast<BYTE*>(out.Pixels.data())))) {
    return false;
  }
  picture = std::move(out);
  return true;
}

}  // namespace nolu
