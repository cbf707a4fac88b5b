// minimal-window.exe: the floor the launcher's start-up, memory and size are
// compared with. It does only what any program in the launcher's place
// cannot avoid: start GDI+, create one borderless top-most popup of the
// launcher's size, paint it once, double-buffered, as a cleared surface, and
// run the message loop until Escape (or WM_CLOSE) destroys the window.
// Nothing is loaded from the resources or the disk; no font, no text.
#include <windows.h>

#include <cmath>

#include "base/gdiplus_api_win.h"
#include "base/win_owners_win.h"

namespace {

constexpr wchar_t kClassName[] = L"TarrowMinimalWindow";
constexpr int kUnitsWide = 392;
constexpr int kUnitsHigh = 252;
constexpr Gdiplus::ARGB kClearColor = 0xFF090A0C;

// The same DPI awareness as the launcher, so both windows have the same
// pixels. Not the launcher's own MakeProcessDpiAware: linking its file would
// pull the whole launcher into this program and spoil the size and memory floor.
void MakeDpiAware() {
  using SetContextFn = BOOL(WINAPI*)(HANDLE);
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  FARPROC proc = user32 != nullptr ? GetProcAddress(user32, "SetProcessDpiAwarenessContext") : nullptr;
  if (proc != nullptr &&
      reinterpret_cast<SetContextFn>(reinterpret_cast<void*>(proc))(
          reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-4))) != FALSE) {
    return;
  }
  SetProcessDPIAware();
}

float DpiScale() {
  WindowDc screen(nullptr);
  const int dpi = screen.get() != nullptr ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 96;
  return dpi > 96 ? static_cast<float>(dpi) / 96.0f : 1.0f;
}

int Scaled(int units, float scale) { return static_cast<int>(std::lround(static_cast<float>(units) * scale)); }

struct Surface {
  int width = 0;
  int height = 0;
};

void Paint(HWND window, const Surface& surface) {
  PaintScope paint(window);
  UniqueMemoryDc memoryDc(CreateCompatibleDC(paint.dc()));
  UniqueGdiObject bitmap(CreateCompatibleBitmap(paint.dc(), surface.width, surface.height));
  if (memoryDc == nullptr || bitmap == nullptr) return;
  SelectedObject selected(memoryDc.get(), bitmap.get());
  {
    Gdiplus::GpGraphics* raw = nullptr;
    Gdiplus::DllExports::GdipCreateFromHDC(memoryDc.get(), &raw);
    UniqueGpGraphics graphics(raw);
    if (graphics != nullptr) Gdiplus::DllExports::GdipGraphicsClear(graphics.get(), kClearColor);
  }
  BitBlt(paint.dc(), 0, 0, surface.width, surface.height, memoryDc.get(), 0, 0, SRCCOPY);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      const auto* surface = reinterpret_cast<const Surface*>(GetWindowLongPtrW(window, GWLP_USERDATA));
      if (surface != nullptr) {
        Paint(window, *surface);
        return 0;
      }
      break;
    }
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) {
        DestroyWindow(window);
        return 0;
      }
      break;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

int Run(HINSTANCE instance) {
  MakeDpiAware();
  ScopedGdiplus gdiplus;
  if (!gdiplus.ok()) return 1;

  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kClassName;
  RegisterClassW(&windowClass);

  const float scale = DpiScale();
  Surface surface{Scaled(kUnitsWide, scale), Scaled(kUnitsHigh, scale)};
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int x = work.left + std::max((work.right - work.left - surface.width) / 2, 0L);
  const int y = work.top + std::max((work.bottom - work.top - surface.height) / 2, 0L);
  HWND window = CreateWindowExW(WS_EX_APPWINDOW | WS_EX_TOPMOST, kClassName, L"Minimal", WS_POPUP, x, y,
                                surface.width, surface.height, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&surface));
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);

  MSG message{};
  BOOL got = 0;
  while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  // A window still standing (GetMessageW failed) must not outlive `surface`.
  if (IsWindow(window)) DestroyWindow(window);
  return got == 0 ? static_cast<int>(message.wParam) : 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return Run(instance); }
