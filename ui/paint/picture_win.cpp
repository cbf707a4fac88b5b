#include "ui/paint/picture_win.h"

#include <objbase.h>
#include <wincodec.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace gp = Gdiplus::DllExports;

namespace {

struct ComReleaser {
  void operator()(IUnknown* object) const { object->Release(); }
};
template <typename T>
using ComOwner = std::unique_ptr<T, ComReleaser>;

// Source rows converted to premultiplied BGRA a band at a time: the most the
// decode holds beside the decoder's own copy and the result.
constexpr UINT kBandRows = 16;

}  // namespace

PictureSource PictureSource::View(std::string_view png, uint32_t sizeLimit) {
  PictureSource source;
  source.view_ = png;
  source.sizeLimit_ = sizeLimit;
  return source;
}

PictureSource PictureSource::Own(std::string png, uint32_t sizeLimit) {
  PictureSource source;
  source.owned_ = std::move(png);
  source.sizeLimit_ = sizeLimit;
  return source;
}

ScaledPicture DecodeScaled(const PictureSource& source, const SceneRect& rect, float scale) {
  ScaledPicture result;
  const std::string_view png = source.png();
  if (png.empty() || png.size() > 0xFFFFFFFFu) return result;
  // COM for the call, unless the thread runs it already (the window thread,
  // in its own apartment); the imaging components work in either.
  const ScopedComApartment com(COINIT_MULTITHREADED);
  IWICImagingFactory* rawFactory = nullptr;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&rawFactory)))) {
    return result;
  }
  const ComOwner<IWICImagingFactory> factory(rawFactory);
  IWICStream* rawStream = nullptr;
  if (FAILED(factory->CreateStream(&rawStream))) return result;
  const ComOwner<IWICStream> stream(rawStream);
  // Read only: the decoder never writes to the memory it is given.
  BYTE* const bytes = reinterpret_cast<BYTE*>(const_cast<char*>(png.data()));
  if (FAILED(stream->InitializeFromMemory(bytes, static_cast<DWORD>(png.size())))) return result;
  // The PNG decoder only: no other codec reads these bytes. Made by its class
  // rather than by the factory's CreateDecoder, which searches the registered
  // codecs for one of the container format first.
  IWICBitmapDecoder* rawDecoder = nullptr;
  if (FAILED(CoCreateInstance(CLSID_WICPngDecoder, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&rawDecoder)))) {
    return result;
  }
  const ComOwner<IWICBitmapDecoder> decoder(rawDecoder);
  if (FAILED(decoder->Initialize(stream.get(), WICDecodeMetadataCacheOnDemand))) return result;
  IWICBitmapFrameDecode* rawFrame = nullptr;
  if (FAILED(decoder->GetFrame(0, &rawFrame))) return result;
  const ComOwner<IWICBitmapFrameDecode> frame(rawFrame);
  UINT width = 0, height = 0;
  if (FAILED(frame->GetSize(&width, &height)) || width == 0 || height == 0) return result;
  const uint32_t limit = source.sizeLimit();
  if (limit != 0 && (width > limit || height > limit)) return result;
  // An opaque 8-bit RGB picture (the launcher's own are) is taken as the
  // decoder gives it and widened here: making a format converter costs more
  // than the widening. Every other format goes through the converter.
  WICPixelFormatGUID format{};
  const bool bgr = SUCCEEDED(frame->GetPixelFormat(&format)) && format == GUID_WICPixelFormat24bppBGR;
  ComOwner<IWICFormatConverter> converter;
  if (!bgr) {
    IWICFormatConverter* rawConverter = nullptr;
    if (FAILED(factory->CreateFormatConverter(&rawConverter))) return result;
    converter.reset(rawConverter);
    if (FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr,
                                     0.0, WICBitmapPaletteTypeCustom))) {
      return result;
    }
  }

  const DevicePixelBox box = DevicePixelsOf(rect, scale);
  if (box.width <= 0 || box.height <= 0) return result;
  std::vector<uint32_t> pixels(static_cast<size_t>(box.width) * static_cast<size_t>(box.height));
  PictureScaler scaler(width, height, rect, scale, pixels.data(), static_cast<size_t>(box.width));
  // Premultiplied BGRA in memory is 0xAARRGGBB read as a 32-bit little-endian number.
  std::vector<uint32_t> band(static_cast<size_t>(width) * kBandRows);
  std::vector<BYTE> narrow(bgr ? static_cast<size_t>(width) * 3 * kBandRows : 0);
  for (UINT top = 0; top < height; top += kBandRows) {
    const UINT rows = std::min(kBandRows, height - top);
    const WICRect area{0, static_cast<INT>(top), static_cast<INT>(width), static_cast<INT>(rows)};
    if (bgr) {
      if (FAILED(frame->CopyPixels(&area, width * 3, width * rows * 3, narrow.data()))) break;
      WidenBgrToOpaqueBgra(narrow.data(), band.data(), static_cast<size_t>(width) * rows);
    } else if (FAILED(converter->CopyPixels(&area, width * 4, width * rows * 4, reinterpret_cast<BYTE*>(band.data())))) {
      break;
    }
    for (UINT row = 0; row < rows; ++row) scaler.AddRow(&band[static_cast<size_t>(row) * width]);
  }
  if (!scaler.Finished()) return result;
  result.pixels = std::move(pixels);
  result.box = box;
  result.sourceWidth = width;
  result.sourceHeight = height;
  return result;
}

bool PreparedPicture::Prepare(const PictureSource& source, const SceneRect& rect, float scale) {
  // A picture that failed to decode is not tried again for the same frame
  // geometry: every paint would pay for the attempt.
  const std::string_view png = source.png();
  const bool same = png.data() == bytes_.data() && png.size() == bytes_.size() && rect == rect_ && scale == scale_;
  if (tried_ && same) return !copy_.pixels.empty();
  copy_.bitmap.reset();     // the bitmap before the pixels it draws from
  copy_ = ScaledPicture{};  // the old copy goes before the new one is made
  tried_ = true;
  bytes_ = source.png();
  rect_ = rect;
  scale_ = scale;
  copy_ = DecodeScaled(source, rect, scale);
  return !copy_.pixels.empty();
}

bool PreparedPicture::Draw(Gdiplus::GpGraphics* graphics, const PictureSource& source, const SceneRect& rect,
                           float scale) {
  if (!Prepare(source, rect, scale)) return false;
  const DevicePixelBox& box = copy_.box;
  if (!copy_.bitmap) {
    Gdiplus::GpBitmap* raw = nullptr;
    gp::GdipCreateBitmapFromScan0(box.width, box.height, box.width * static_cast<INT>(sizeof(uint32_t)),
                                  PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(copy_.pixels.data()), &raw);
    copy_.bitmap.reset(raw);
    if (!copy_.bitmap) return false;
  }
  // At its own size in device pixels the copy is blended, not resampled.
  gp::GdipResetWorldTransform(graphics);
  const bool drawn =
      gp::GdipDrawImageRectI(graphics, copy_.bitmap.get(), box.left, box.top, box.width, box.height) == Gdiplus::Ok;
  gp::GdipScaleWorldTransform(graphics, scale, scale, Gdiplus::MatrixOrderPrepend);
  return drawn;
}
