#include "tools/capture/frame_snapshot_win.h"

#include <cmath>
#include <cstring>
#include <memory>

#include "state/launch_transitions.h"
#include "state/launch_view.h"
#include "state/titles.h"
#include "ui/scene/layout.h"
#include "ui/scene/scene.h"
#include "ui/paint/asset_checks.h"
#include "ui/paint/scene_renderer_win.h"
#include "ui/paint/text_line_win.h"

namespace gp = Gdiplus::DllExports;

namespace {

struct BitmapDeleter {
  void operator()(Gdiplus::GpBitmap* p) const noexcept {
    if (p) gp::GdipDisposeImage(p);
  }
};
using UniqueGpBitmap = std::unique_ptr<Gdiplus::GpBitmap, BitmapDeleter>;

std::optional<CLSID> PngEncoder() {
  UINT count = 0;
  UINT bytes = 0;
  if (gp::GdipGetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return std::nullopt;
  std::vector<unsigned char> buffer(bytes);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (gp::GdipGetImageEncoders(count, bytes, codecs) != Gdiplus::Ok) return std::nullopt;
  for (UINT i = 0; i < count; ++i) {
    if (codecs[i].MimeType != nullptr && std::wcscmp(codecs[i].MimeType, L"image/png") == 0) return codecs[i].Clsid;
  }
  return std::nullopt;
}

BITMAPINFO TopDown32(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

}  // namespace

FrameSurface::FrameSurface(int width, int height, SurfaceKind kind) : width_(width), height_(height) {
  if (width <= 0 || height <= 0) return;
  if (kind == SurfaceKind::DibSection) {
    const BITMAPINFO info = TopDown32(width, height);
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    dc_.reset(CreateCompatibleDC(nullptr));
    bits_ = static_cast<uint32_t*>(bits);
  } else {
    const WindowDc screen(nullptr);
    if (screen.get() == nullptr) return;
    bitmap_.reset(CreateCompatibleBitmap(screen.get(), width, height));
    dc_.reset(CreateCompatibleDC(screen.get()));
  }
  if (!bitmap_ || !dc_ || (kind == SurfaceKind::DibSection && bits_ == nullptr)) return;
  ok_ = SelectObject(dc_.get(), bitmap_.get()) != nullptr;
}

PixelImage FrameSurface::Snapshot() const {
  if (!ok_) return {};
  if (bits_ == nullptr) {
    // Read through a DIB section: GetDIBits would want the bitmap out of its DC.
    const FrameSurface copy(width_, height_, SurfaceKind::DibSection);
    if (!copy.ok() || !BitBlt(copy.dc(), 0, 0, width_, height_, dc_.get(), 0, 0, SRCCOPY)) return {};
    return copy.Snapshot();
  }
  GdiFlush();
  PixelImage image;
  image.width = width_;
  image.height = height_;
  image.pixels.assign(bits_, bits_ + static_cast<size_t>(width_) * static_cast<size_t>(height_));
  for (uint32_t& p : image.pixels) p |= 0xFF000000u;
  return image;
}

bool SavePng(const PixelImage& image, const std::wstring& path) {
  const std::optional<CLSID> encoder = PngEncoder();
  if (!encoder || image.width <= 0 || image.height <= 0) return false;
  std::vector<uint32_t> copy = image.pixels;  // GdipCreateBitmapFromScan0 wants writable memory
  Gdiplus::GpBitmap* raw = nullptr;
  if (gp::GdipCreateBitmapFromScan0(image.width, image.height, image.width * 4, PixelFormat32bppRGB,
                                    reinterpret_cast<BYTE*>(copy.data()), &raw) != Gdiplus::Ok) {
    return false;
  }
  UniqueGpBitmap bitmap(raw);
  return gp::GdipSaveImageToFile(bitmap.get(), path.c_str(), &*encoder, nullptr) == Gdiplus::Ok;
}

std::optional<PixelImage> LoadPixels(const std::wstring& path) {
  Gdiplus::GpBitmap* raw = nullptr;
  if (gp::GdipCreateBitmapFromFile(path.c_str(), &raw) != Gdiplus::Ok) {
    if (raw != nullptr) gp::GdipDisposeImage(raw);
    return std::nullopt;
  }
  UniqueGpBitmap bitmap(raw);
  UINT width = 0;
  UINT height = 0;
  gp::GdipGetImageWidth(bitmap.get(), &width);
  gp::GdipGetImageHeight(bitmap.get(), &height);
  if (width == 0 || height == 0) return std::nullopt;
  const Gdiplus::GpRect area(0, 0, static_cast<INT>(width), static_cast<INT>(height));
  Gdiplus::BitmapData data{};
  if (gp::GdipBitmapLockBits(bitmap.get(), &area, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) !=
      Gdiplus::Ok) {
    return std::nullopt;
  }
  PixelImage image;
  image.width = static_cast<int>(width);
  image.height = static_cast<int>(height);
  image.pixels.resize(static_cast<size_t>(width) * height);
  for (UINT y = 0; y < height; ++y) {
    const auto* row = static_cast<const unsigned char*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride;
    std::memcpy(&image.pixels[static_cast<size_t>(y) * width], row, static_cast<size_t>(width) * 4);
  }
  gp::GdipBitmapUnlockBits(bitmap.get(), &data);
  return image;
}

PictureSource LoadPictureFile(const std::wstring& path) {
  const UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > (64 << 20)) return {};
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size()) {
    return {};
  }
  if (!PngHeaderSize(bytes)) return {};
  return PictureSource::Own(std::move(bytes));
}

DrawList PreviewDrawList(const PreviewFrame& frame, bool hasBackground, const UiFonts* fonts) {
  const AppIdentity identity = DeriveAppIdentity(frame.startupText);
  LaunchState state;
  ApplyPreviewState(state, frame.state);
  if (frame.progress) {
    state.progress = *frame.progress;
    state.shownProgress = *frame.progress;
  }
  const LaunchView view = DescribeLaunch(state, identity.profile.sequenceTitle, ChooseLanguage({frame.language}));
  SceneInput input{view, identity.profile.badge, identity.displayTitle, hasBackground, frame.hoverButton,
                   frame.pressedButton};
  if (frame.highContrast) input.highContrast = &*frame.highContrast;
  if (fonts != nullptr) input.labelWidths = MeasureGrowingLabels(*fonts, view, frame.scale);
  return PaintScene(input);
}

PixelImage RenderPreview(const PreviewFrame& frame, const UiFonts& fonts, const PictureSource* background,
                         SurfaceKind kind, PreparedPicture* picture) {
  FrameSurface surface(ScaleUnits(kWindowUnitsWide, frame.scale), ScaleUnits(kWindowUnitsHigh, frame.scale), kind);
  if (!surface.ok()) return {};
  const bool hasBackground = background != nullptr && !background->empty();
  PaintFrame(surface.dc(), frame.scale, PreviewDrawList(frame, hasBackground, &fonts), fonts, background, picture);
  return surface.Snapshot();
}
