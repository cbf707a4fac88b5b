#include "tools/capture/screen_capture_win.h"

#include <memory>

#include "app/gdiplus_api.h"
#include "app/win_owners.h"

ScreenPixels CaptureWindowFromScreen(HWND window) {
  ScreenPixels image;
  RECT rect{};
  if (!GetWindowRect(window, &rect)) return image;
  const int32_t width = rect.right - rect.left;
  const int32_t height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return image;

  WindowDc screen(nullptr);
  if (screen.get() == nullptr) return image;
  UniqueMemoryDc memoryDc(CreateCompatibleDC(screen.get()));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueGdiObject section(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (memoryDc == nullptr || section == nullptr || bits == nullptr) return image;
  {
    SelectedObject selected(memoryDc.get(), section.get());
    if (!BitBlt(memoryDc.get(), 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY)) return image;
    GdiFlush();
  }
  const auto* source = static_cast<const uint32_t*>(bits);
  image.width = width;
  image.height = height;
  image.pixels.assign(source, source + static_cast<size_t>(width) * static_cast<size_t>(height));
  return image;
}

namespace {

bool FindPngEncoder(CLSID& encoder) {
  UINT count = 0;
  UINT bytes = 0;
  if (Gdiplus::DllExports::GdipGetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return false;
  std::vector<unsigned char> buffer(bytes);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (Gdiplus::DllExports::GdipGetImageEncoders(count, bytes, codecs) != Gdiplus::Ok) return false;
  for (UINT i = 0; i < count; ++i) {
    if (codecs[i].MimeType != nullptr && std::wstring(codecs[i].MimeType) == L"image/png") {
      encoder = codecs[i].Clsid;
      return true;
    }
  }
  return false;
}

}  // namespace

bool SavePixelsAsPng(const ScreenPixels& image, const std::wstring& path) {
  if (image.width <= 0 || image.height <= 0) return false;
  CLSID encoder{};
  if (!FindPngEncoder(encoder)) return false;
  // The bitmap only borrows the pixel rows; the copy keeps them alive and
  // opaque (the screen's high bytes are not an alpha channel).
  std::vector<uint32_t> opaque(image.pixels);
  for (uint32_t& pixel : opaque) pixel |= 0xFF000000u;
  Gdiplus::GpBitmap* raw = nullptr;
  if (Gdiplus::DllExports::GdipCreateBitmapFromScan0(image.width, image.height, image.width * 4,
                                                     PixelFormat32bppARGB,
                                                     reinterpret_cast<BYTE*>(opaque.data()), &raw) != Gdiplus::Ok) {
    return false;
  }
  UniqueGpImage bitmap(raw);
  return Gdiplus::DllExports::GdipSaveImageToFile(bitmap.get(), path.c_str(), &encoder, nullptr) == Gdiplus::Ok;
}
