#pragma once
// RAII owners for Win32 handles, GDI objects, GDI+ objects and the COM
// apartment. Shell files only. The handle owners are unique_ptrs (move-only);
// the scope classes can be neither copied nor moved, so nothing is released
// twice.
#include <windows.h>
#include <objbase.h>

#include <array>
#include <memory>

#include "base/gdiplus_api_win.h"

#include "base/system_library_win.h"

struct HandleCloser {
  void operator()(HANDLE h) const noexcept {
    if (h != nullptr && h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};
// A kernel handle (pipe end, process, thread, file) closed with CloseHandle.
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

struct GdiObjectDeleter {
  void operator()(HGDIOBJ object) const noexcept {
    if (object != nullptr) DeleteObject(object);
  }
};
// A GDI bitmap, region, brush or pen owned until DeleteObject.
using UniqueGdiObject = std::unique_ptr<std::remove_pointer_t<HGDIOBJ>, GdiObjectDeleter>;

struct MemoryDcDeleter {
  void operator()(HDC dc) const noexcept {
    if (dc != nullptr) DeleteDC(dc);
  }
};
// A memory device context from CreateCompatibleDC.
using UniqueMemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDeleter>;

struct ModuleReleaser {
  void operator()(HMODULE module) const noexcept {
    if (module != nullptr) FreeLibrary(module);
  }
};
// A library loaded for a few calls and let go again with FreeLibrary.
using UniqueModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleReleaser>;

// A system library (LoadSystemLibrary) held for a few calls.
inline UniqueModule LoadSystemModule(const wchar_t* name) { return UniqueModule(LoadSystemLibrary(name)); }

// A window's DC from GetDC, given back with ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND window) noexcept : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const noexcept { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// BeginPaint .. EndPaint for one WM_PAINT.
class PaintScope {
 public:
  explicit PaintScope(HWND window) noexcept : window_(window) { dc_ = BeginPaint(window, &paint_); }
  ~PaintScope() { EndPaint(window_, &paint_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  HDC dc() const noexcept { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_ = nullptr;
};

// Selects an object into a DC and selects the previous one back on exit.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~SelectedObject() {
    if (previous_ != nullptr && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// GDI+ objects of the flat API, each deleted with its own Gdip call.
template <auto Delete>
struct GpDeleter {
  template <typename T>
  void operator()(T* p) const noexcept {
    if (p != nullptr) Delete(p);
  }
};

namespace gp_api = Gdiplus::DllExports;
using UniqueGpImage = std::unique_ptr<Gdiplus::GpImage, GpDeleter<&gp_api::GdipDisposeImage>>;
using UniqueGpFont = std::unique_ptr<Gdiplus::GpFont, GpDeleter<&gp_api::GdipDeleteFont>>;
using UniqueGpFontFamily = std::unique_ptr<Gdiplus::GpFontFamily, GpDeleter<&gp_api::GdipDeleteFontFamily>>;
using UniqueGpPath = std::unique_ptr<Gdiplus::GpPath, GpDeleter<&gp_api::GdipDeletePath>>;
using UniqueGpBrush = std::unique_ptr<Gdiplus::GpBrush, GpDeleter<&gp_api::GdipDeleteBrush>>;
using UniqueGpPen = std::unique_ptr<Gdiplus::GpPen, GpDeleter<&gp_api::GdipDeletePen>>;
using UniqueGpStringFormat = std::unique_ptr<Gdiplus::GpStringFormat, GpDeleter<&gp_api::GdipDeleteStringFormat>>;
using UniqueGpGraphics = std::unique_ptr<Gdiplus::GpGraphics, GpDeleter<&gp_api::GdipDeleteGraphics>>;

// GDI+ started for a scope (tools and tests; the launcher has its own session
// in its entry). Everything holding GDI+ objects must be gone before it ends.
class ScopedGdiplus {
 public:
  ScopedGdiplus() {
    Gdiplus::GdiplusStartupInput input;
    ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
  }
  ~ScopedGdiplus() {
    if (ok_) Gdiplus::GdiplusShutdown(token_);
  }
  ScopedGdiplus(const ScopedGdiplus&) = delete;
  ScopedGdiplus& operator=(const ScopedGdiplus&) = delete;
  bool ok() const { return ok_; }

 private:
  ULONG_PTR token_ = 0;
  bool ok_ = false;
};

// A COM apartment for the calling thread, for a scope: single-threaded unless
// asked otherwise. The window thread needs one to hand its accessible object
// to other processes; their calls then arrive through the thread's message
// loop. On a thread already in another apartment it enters none (ok() false)
// and that apartment serves.
class ScopedComApartment {
 public:
  explicit ScopedComApartment(DWORD model = COINIT_APARTMENTTHREADED)
      : ok_(SUCCEEDED(CoInitializeEx(nullptr, model))) {}
  ~ScopedComApartment() {
    if (ok_) CoUninitialize();
  }
  ScopedComApartment(const ScopedComApartment&) = delete;
  ScopedComApartment& operator=(const ScopedComApartment&) = delete;
  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
};

// The same apartment, entered once (Enter) and asked for again by each user
// of COM. Not reentered after a failure: RPC_E_CHANGED_MODE would answer the
// same again. Never left:
// CoUninitialize waits for the calls that clients still have in flight, and
// those wait for this thread's message loop, which has ended by then, so a
// screen reader reading the window while it closed could hold the process up
// without limit. The process ends with the apartment instead; ExitProcess
// stops COM's threads before the libraries unload.
class ComApartmentOnDemand {
 public:
  ComApartmentOnDemand() = default;
  ~ComApartmentOnDemand() = default;
  ComApartmentOnDemand(const ComApartmentOnDemand&) = delete;
  ComApartmentOnDemand& operator=(const ComApartmentOnDemand&) = delete;
  // True when the calling thread is in the apartment (entered now or before).
  bool Enter() {
    if (state_ == State::NotTried) {
      // S_FALSE (already initialised this way) also owes a CoUninitialize.
      state_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) ? State::Entered : State::Failed;
    }
    return state_ == State::Entered;
  }

 private:
  enum class State { NotTried, Entered, Failed };
  State state_ = State::NotTried;
};
