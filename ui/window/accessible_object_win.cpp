#include "ui/window/accessible_object_win.h"

#include <ole2.h>
#include <oleacc.h>

#include <new>
#include <optional>
#include <string_view>

#include "base/system_library_win.h"
#include "channel/launch_message_win.h"
#include "state/launch_view.h"
#include "ui/window/launcher_app_win.h"

namespace {

// The run-time bound functions of oleacc.dll and oleaut32.dll, looked up
// once. The modules stay loaded for the rest of the process: an object
// handed out may be called until COM shuts down.
struct AccessibilityApi {
  using LresultFromObjectFn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
  using CreateStdAccessibleObjectFn = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
  using SysAllocStringLenFn = BSTR(WINAPI*)(const OLECHAR*, UINT);

  LresultFromObjectFn lresultFromObject = nullptr;
  CreateStdAccessibleObjectFn createStdAccessibleObject = nullptr;
  SysAllocStringLenFn sysAllocStringLen = nullptr;

  bool ok() const {
    return lresultFromObject != nullptr && createStdAccessibleObject != nullptr && sysAllocStringLen != nullptr;
  }
};

const AccessibilityApi& Accessibility() {
  static const AccessibilityApi api = [] {
    AccessibilityApi loaded;
    HMODULE oleacc = LoadSystemLibrary(L"oleacc.dll");
    HMODULE oleaut = LoadSystemLibrary(L"oleaut32.dll");
    loaded.lresultFromObject = LookUpFunction<AccessibilityApi::LresultFromObjectFn>(oleacc, "LresultFromObject");
    loaded.createStdAccessibleObject =
        LookUpFunction<AccessibilityApi::CreateStdAccessibleObjectFn>(oleacc, "CreateStdAccessibleObject");
    loaded.sysAllocStringLen = LookUpFunction<AccessibilityApi::SysAllocStringLenFn>(oleaut, "SysAllocStringLen");
    return loaded;
  }();
  return api;
}

// Runs one COM method's body: nothing may escape into the caller's frames,
// and only allocation can throw here.
template <typename Body>
HRESULT Guarded(Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

std::optional<int32_t> ChildOf(const VARIANT& child) {
  if (child.vt != VT_I4 || child.lVal < kAccessibleSelf || child.lVal > kAccessibleChildCount) return std::nullopt;
  return static_cast<int32_t>(child.lVal);
}

void SetEmpty(VARIANT* variant) { variant->vt = VT_EMPTY; }

void SetLong(VARIANT* variant, LONG value) {
  variant->vt = VT_I4;
  variant->lVal = value;
}

// The system's codes, indexed by AccessibleRole and AccessibleEventKind in
// their order.
constexpr LONG kRoleCodes[] = {ROLE_SYSTEM_DIALOG, ROLE_SYSTEM_PROGRESSBAR, ROLE_SYSTEM_STATICTEXT,
                               ROLE_SYSTEM_PUSHBUTTON};
constexpr DWORD kWinEvents[] = {EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_FOCUS};

LONG RoleCode(AccessibleRole role) { return kRoleCodes[static_cast<size_t>(role)]; }
DWORD WinEventOf(AccessibleEventKind kind) { return kWinEvents[static_cast<size_t>(kind)]; }

}  // namespace

// The window's client object. Its children are simple elements (no objects
// of their own), addressed by child id. Reads everything from the window's
// LauncherApp while connected; the standard object of the client area
// answers the parent and the navigation away from the window.
class LauncherAccessible final : public IAccessible {
 public:
  LauncherAccessible(LauncherApp& app, const AccessibilityApi& api) : app_(&app), api_(api) {
    void* standard = nullptr;
    if (SUCCEEDED(api_.createStdAccessibleObject(app.window, OBJID_CLIENT, __uuidof(IAccessible), &standard))) {
      standard_ = static_cast<IAccessible*>(standard);
    }
  }
  ~LauncherAccessible() { Disconnect(); }
  LauncherAccessible(const LauncherAccessible&) = delete;
  LauncherAccessible& operator=(const LauncherAccessible&) = delete;

  void Disconnect() {
    app_ = nullptr;
    if (standard_ != nullptr) standard_->Release();
    standard_ = nullptr;
  }

  // IUnknown. The count may be touched from any thread a client uses.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
      *object = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IDispatch: clients call IAccessible directly; there is no type information.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (parent == nullptr) return E_POINTER;
    *parent = nullptr;
    if (app_ == nullptr) return CO_E_OBJNOTCONNECTED;
    return standard_ != nullptr ? standard_->get_accParent(parent) : S_FALSE;
  }

  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    if (count == nullptr) return E_POINTER;
    if (app_ == nullptr) return CO_E_OBJNOTCONNECTED;
    *count = kAccessibleChildCount;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (app_ == nullptr) return CO_E_OBJNOTCONNECTED;
    const std::optional<int32_t> id = ChildOf(child);
    if (!id.has_value() || *id == kAccessibleSelf) return E_INVALIDARG;
    return S_FALSE;  // a simple element: the client addresses it through this object
  }

  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    return Text(child, name, [](const AccessibleItem& item) { return std::wstring_view(item.name); });
  }

  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    if (value != nullptr && app_ != nullptr && ChildOf(child) != std::optional<int32_t>(kAccessibleProgress)) {
      *value = nullptr;
      return ChildOf(child).has_value() ? DISP_E_MEMBERNOTFOUND : E_INVALIDARG;
    }
    // The progress bar's value is present even when empty (no target).
    return Text(child, value, [](const AccessibleItem& item) { return std::wstring_view(item.value); });
  }

  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override { return None(child, text); }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override { return None(child, text); }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* text) override { return None(child, text); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    if (topic != nullptr) *topic = 0;
    return None(child, file);
  }

  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (role == nullptr) return E_POINTER;
    SetEmpty(role);
    return ForChild(child, [&](int32_t id) {
      SetLong(role, RoleCode(Describe(id).role));
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (state == nullptr) return E_POINTER;
    SetEmpty(state);
    return ForChild(child, [&](int32_t id) {
      const AccessibleItem item = Describe(id);
      const bool focused = GetFocus() == app_->window;
      LONG bits = IsWindowVisible(app_->window) ? 0 : STATE_SYSTEM_INVISIBLE;
      if (id == kAccessibleSelf) bits |= STATE_SYSTEM_FOCUSABLE;
      if (id == kAccessibleProgress || id == kAccessibleStatus) bits |= STATE_SYSTEM_READONLY;
      if (item.busy) bits |= STATE_SYSTEM_BUSY;
      if (item.focusable) bits |= STATE_SYSTEM_FOCUSABLE | (focused ? STATE_SYSTEM_FOCUSED : 0);
      if (item.focusable && app_->pointer.pressedButton) bits |= STATE_SYSTEM_PRESSED;
      SetLong(state, bits);
      return S_OK;
    });
  }

  // While the window has the keyboard, the action button has it: Enter and
  // Space press it.
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
    if (child == nullptr) return E_POINTER;
    SetEmpty(child);
    if (app_ == nullptr) return CO_E_OBJNOTCONNECTED;
    if (GetFocus() != app_->window) return S_FALSE;
    SetLong(child, kAccessibleButton);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
    if (children == nullptr) return E_POINTER;
    SetEmpty(children);
    return app_ == nullptr ? CO_E_OBJNOTCONNECTED : S_FALSE;
  }

  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    if (action != nullptr && app_ != nullptr && ChildOf(child) != std::optional<int32_t>(kAccessibleButton)) {
      *action = nullptr;
      return ChildOf(child).has_value() ? DISP_E_MEMBERNOTFOUND : E_INVALIDARG;
    }
    return Text(child, action, [](const AccessibleItem& item) { return std::wstring_view(item.defaultAction); });
  }

  HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT child) override {
    if (app_ == nullptr) return CO_E_OBJNOTCONNECTED;
    return ChildOf(child).has_value() ? DISP_E_MEMBERNOTFOUND : E_INVALIDARG;
  }

  // The child's painted rectangle at the current DPI, on the screen.
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) return E_POINTER;
    *left = *top = *width = *height = 0;
    if (app_ == nullptr) return CO_E_OBJNOTCONNECTED;
    const std::optional<int32_t> id = ChildOf(child);
    if (!id.has_value()) return E_INVALIDARG;
    const PixelRect rect = AccessibleChildPixels(*id, app_->dpiScale, app_->launch.language->rightToLeft, app_->paint.button);
    POINT corner{rect.left, rect.top};
    if (!ClientToScreen(app_->window, &corner)) return E_FAIL;
    *left = corner.x;
    *top = corner.y;
    *width = rect.right - rect.left;
    *height = rect.bottom - rect.top;
    return S_OK;
  }

  // Among the children in their order; from the window itself to its first
  // or last child, anything else as the standard object answers it.
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    if (end == nullptr) return E_POINTER;
    SetEmpty(end);
    if (app_ == nullptr) return CO_E_OBJNOTCONNECTED;
    const std::optional<int32_t> id = ChildOf(start);
    if (!id.has_value()) return E_INVALIDARG;
    LONG target = kAccessibleSelf;
    if (*id == kAccessibleSelf) {
      if (direction == NAVDIR_FIRSTCHILD) target = kAccessibleProgress;
      if (direction == NAVDIR_LASTCHILD) target = kAccessibleChildCount;
      if (target == kAccessibleSelf) {
        return standard_ != nullptr ? standard_->accNavigate(direction, start, end) : S_FALSE;
      }
    } else if (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN) {
      target = *id + 1;
    } else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP) {
      target = *id - 1;
    }
    if (target < kAccessibleProgress || target > kAccessibleChildCount) return S_FALSE;
    SetLong(end, target);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
    if (child == nullptr) return E_POINTER;
    SetEmpty(child);
    if (app_ == nullptr) return CO_E_OBJNOTCONNECTED;
    POINT point{x, y};
    RECT client{};
    if (!ScreenToClient(app_->window, &point) || !GetClientRect(app_->window, &client)) return E_FAIL;
    if (!PtInRect(&client, point)) return S_FALSE;
    SetLong(child, AccessibleChildAt(app_->dpiScale, point.x, point.y, app_->launch.language->rightToLeft, app_->paint.button));
    return S_OK;
  }

  // Exactly what a click on the button does, from the message loop: this
  // runs inside the client's call, where destroying the window or starting
  // the updater would re-enter the window procedure under the caller.
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return ForChild(child, [&](int32_t id) {
      if (id != kAccessibleButton) return DISP_E_MEMBERNOTFOUND;
      return PostMessageW(app_->window, WM_PRESS_BUTTON, LaunchMessageCookie(), 0) ? S_OK : E_FAIL;
    });
  }

  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override {
    return app_ == nullptr ? CO_E_OBJNOTCONNECTED : E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override {
    return app_ == nullptr ? CO_E_OBJNOTCONNECTED : E_NOTIMPL;
  }

 private:
  // Runs `body` with the child's id once the window is known to be alive and
  // the child to be one of ours; no exception leaves.
  template <typename Body>
  HRESULT ForChild(const VARIANT& child, Body&& body) noexcept {
    return Guarded([&]() -> HRESULT {
      if (app_ == nullptr) return CO_E_OBJNOTCONNECTED;
      const std::optional<int32_t> id = ChildOf(child);
      if (!id.has_value()) return E_INVALIDARG;
      return body(*id);
    });
  }

  AccessibleItem Describe(int32_t child) const {
    return DescribeAccessible(ViewOf(*app_), app_->launch.displayTitle, child);
  }

  // One text of the child, as a string the client frees.
  template <typename Field>
  HRESULT Text(VARIANT child, BSTR* text, Field field) {
    if (text == nullptr) return E_POINTER;
    *text = nullptr;
    return ForChild(child, [&](int32_t id) {
      const AccessibleItem item = Describe(id);
      const std::wstring_view value = field(item);
      *text = api_.sysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
      return *text != nullptr ? S_OK : E_OUTOFMEMORY;
    });
  }

  // A text property that no element has.
  HRESULT None(VARIANT child, BSTR* text) const {
    if (text == nullptr) return E_POINTER;
    *text = nullptr;
    if (app_ == nullptr) return CO_E_OBJNOTCONNECTED;
    return ChildOf(child).has_value() ? DISP_E_MEMBERNOTFOUND : E_INVALIDARG;
  }

  LONG references_ = 1;
  LauncherApp* app_;
  const AccessibilityApi& api_;
  IAccessible* standard_ = nullptr;
};

LRESULT AccessibleObjectOwner::Answer(LauncherApp& app, WPARAM wParam) {
  if (disconnected_) return 0;
  const AccessibilityApi& api = Accessibility();
  if (!api.ok()) return 0;
  if (object_ == nullptr) object_ = new (std::nothrow) LauncherAccessible(app, api);
  if (object_ == nullptr) return 0;
  return api.lresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(object_));
}

void AccessibleObjectOwner::Disconnect() {
  disconnected_ = true;
  if (object_ == nullptr) return;
  object_->Disconnect();
  // Clients in other processes are cut off by COM itself from here on:
  // their calls fail there instead of waiting for this thread's loop, which
  // is about to end. Our own reference keeps the object alive meanwhile.
  CoDisconnectObject(static_cast<IAccessible*>(object_), 0);
  object_->Release();
  object_ = nullptr;
}

void RaiseAccessibleEvents(HWND window, const std::vector<AccessibleEvent>& events) {
  for (const AccessibleEvent& event : events) {
    NotifyWinEvent(WinEventOf(event.kind), window, OBJID_CLIENT, event.child);
  }
}
