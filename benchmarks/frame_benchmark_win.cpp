// frame-benchmark.exe: the cost of one painted frame of the launcher, next to
// the floor every paint pays whatever it draws.
//
//   frame     build the draw list for the DOWNLOAD preview, PaintFrame it on an
//             off-screen 32-bit surface, BitBlt the surface to a second one
//   floor     a Graphics on the same surface, clear it, BitBlt it
//
// at scale 1.0 and 1.5, on a DIB section and on a screen-compatible bitmap
// (what the window's paint uses), with the tarrow background as the launcher
// holds it (32 bpp premultiplied). Prints the median per frame.
//
//   frame-benchmark [--frames N] [--background FILE.png]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "ui/scene/layout.h"
#include "base/gdiplus_api_win.h"
#include "base/win_owners_win.h"
#include "ui/paint/fonts_win.h"
#include "tools/capture/frame_snapshot_win.h"
#include "ui/scene/scene.h"
#include "ui/paint/scene_renderer_win.h"

namespace gp = Gdiplus::DllExports;

namespace {

// The median microseconds of one paint, after a warm-up that fills the
// glyph caches and decodes the picture.
double Measure(int frames, const std::function<void()>& paint) {
  for (int i = 0; i < 20; ++i) paint();
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  std::vector<double> samples;
  for (int i = 0; i < frames; ++i) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    paint();
    GdiFlush();
    QueryPerformanceCounter(&end);
    samples.push_back(static_cast<double>(end.QuadPart - start.QuadPart) * 1e6 /
                      static_cast<double>(frequency.QuadPart));
  }
  std::nth_element(samples.begin(), samples.begin() + frames / 2, samples.end());
  return samples[static_cast<size_t>(frames / 2)];
}

void Print(const char* what, const char* surface, float scale, double medianUs) {
  std::printf("%-6s %-6s scale %.1f   median %8.1f us\n", what, surface, static_cast<double>(scale), medianUs);
}

int Run(int frames, const std::wstring& backgroundPath) {
  UiFonts fonts;
  CreateFonts(fonts);
  PictureSource background;
  if (!backgroundPath.empty()) {
    background = LoadPictureFile(backgroundPath);
    if (background.empty()) {
      std::fwprintf(stderr, L"frame-benchmark: cannot load %ls\n", backgroundPath.c_str());
      return 1;
    }
  }
  std::printf("%d frames each, background %s\n", frames, background.empty() ? "absent" : "present");
  struct Surface {
    const char* name;
    SurfaceKind kind;
  };
  for (const Surface& kind : {Surface{"dib", SurfaceKind::DibSection}, Surface{"screen", SurfaceKind::ScreenCompatible}}) {
    for (float scale : {1.0f, 1.5f}) {
      const int width = ScaleUnits(kWindowUnitsWide, scale);
      const int height = ScaleUnits(kWindowUnitsHigh, scale);
      FrameSurface surface(width, height, kind.kind);
      FrameSurface screen(width, height, kind.kind);
      if (!surface.ok() || !screen.ok()) return 1;
      PreviewFrame frame;
      frame.scale = scale;

      PreparedPicture picture;  // kept between frames, as the window keeps it
      const double full = Measure(frames, [&] {
        const DrawList list = PreviewDrawList(frame, !background.empty());
        PaintFrame(surface.dc(), scale, list, fonts, &background, &picture);
        BitBlt(screen.dc(), 0, 0, width, height, surface.dc(), 0, 0, SRCCOPY);
      });
      const double floor = Measure(frames, [&] {
        Gdiplus::GpGraphics* raw = nullptr;
        gp::GdipCreateFromHDC(surface.dc(), &raw);
        UniqueGpGraphics graphics(raw);
        if (graphics) gp::GdipGraphicsClear(graphics.get(), kFrameClearColor);
        graphics.reset();
        BitBlt(screen.dc(), 0, 0, width, height, surface.dc(), 0, 0, SRCCOPY);
      });
      Print("frame", kind.name, scale, full);
      Print("floor", kind.name, scale, floor);
    }
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int frames = 300;
  std::wstring background;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg == L"--frames" && i + 1 < argc) {
      frames = std::max(1, static_cast<int>(std::wcstol(argv[++i], nullptr, 10)));
    } else if (arg == L"--background" && i + 1 < argc) {
      background = argv[++i];
    } else {
      std::fwprintf(stderr, L"usage: frame-benchmark [--frames N] [--background FILE.png]\n");
      return 2;
    }
  }
  ScopedGdiplus gdiplus;
  if (!gdiplus.ok()) return 1;
  return Run(frames, background);
}
