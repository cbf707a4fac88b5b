#pragma once
// Reading a window's pixels as they are on the screen, and saving them as
// PNG with GDI+'s encoder. Shared by window-capture.exe and the Windows
// tests. The caller has started GDI+ before saving.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Top-down 32-bit pixels (0x00RRGGBB) of a screen rectangle.
struct ScreenPixels {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x] & 0x00FFFFFFu; }
};

// Copies the window's rectangle from the screen DC, so it sees the window as
// composed on the display, whichever process owns it. Empty on failure.
ScreenPixels CaptureWindowFromScreen(HWND window);

// PNG through GDI+'s own encoder; false when GDI+ cannot encode or write.
bool SavePixelsAsPng(const ScreenPixels& image, const std::wstring& path);
