// scene-snapshot.exe: paints one preview state of the launcher off-screen,
// exactly as the window paints it, and saves the pixels as a PNG.
//
//   scene-snapshot --state WORD --out FILE.png [--scale S] [--text TEXT]
//                  [--background FILE.png] [--hover] [--pressed]
//                  [--high-contrast] [--progress F] [--lang TAG]
//
// Without --background the header card is the plain card. --high-contrast
// paints the high-contrast look in the colours of "High Contrast Black"
// (the picture is then left out anyway); --progress shows a settled figure
// from 0 to 1 instead of the preview's own. Exit code 0 on
// success, 2 on a bad command line, 1 when rendering or saving fails.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "base/gdiplus_api_win.h"
#include "base/win_owners_win.h"
#include "ui/paint/fonts_win.h"
#include "tools/capture/frame_snapshot_win.h"

namespace {

struct Options {
  PreviewFrame frame;
  std::wstring out;
  std::wstring background;
};

bool ParseOptions(int argc, wchar_t** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == L"--hover") {
      options.frame.hoverButton = true;
    } else if (arg == L"--pressed") {
      options.frame.pressedButton = true;
    } else if (arg == L"--high-contrast") {
      options.frame.highContrast = kHighContrastBlack;
    } else if (arg == L"--progress" && hasValue) {
      wchar_t* end = nullptr;
      const double progress = std::wcstod(argv[++i], &end);
      if (end == nullptr || *end != L'\0' || !(progress >= 0 && progress <= 1)) return false;
      options.frame.progress = progress;
    } else if (arg == L"--lang" && hasValue) {
      options.frame.language = argv[++i];
    } else if (arg == L"--state" && hasValue) {
      options.frame.state = argv[++i];
    } else if (arg == L"--out" && hasValue) {
      options.out = argv[++i];
    } else if (arg == L"--text" && hasValue) {
      options.frame.startupText = argv[++i];
    } else if (arg == L"--background" && hasValue) {
      options.background = argv[++i];
    } else if (arg == L"--scale" && hasValue) {
      wchar_t* end = nullptr;
      const float scale = std::wcstof(argv[++i], &end);
      if (end == nullptr || *end != L'\0' || !(scale >= 0.25f && scale <= 8.0f)) return false;
      options.frame.scale = scale;
    } else {
      return false;
    }
  }
  return !options.out.empty();
}

int Render(const Options& options) {
  UiFonts fonts;
  CreateFonts(fonts);
  PictureSource background;
  if (!options.background.empty()) {
    background = LoadPictureFile(options.background);
    if (background.empty()) {
      std::fwprintf(stderr, L"scene-snapshot: cannot load %ls\n", options.background.c_str());
      return 1;
    }
  }
  const PixelImage image = RenderPreview(options.frame, fonts, &background);
  if (!SavePng(image, options.out)) {
    std::fwprintf(stderr, L"scene-snapshot: cannot write %ls\n", options.out.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fwprintf(stderr,
                  L"usage: scene-snapshot --state WORD --out FILE.png [--scale S] [--text TEXT]\n"
                  L"                      [--background FILE.png] [--hover] [--pressed]\n"
                  L"                      [--high-contrast] [--progress F] [--lang TAG]\n");
    return 2;
  }
  ScopedGdiplus gdiplus;
  if (!gdiplus.ok()) return 1;
  return Render(options);  // fonts and picture are gone before GDI+ shuts down
}
