#include "ui/window/live_region_win.h"

#include <objbase.h>
#include <oleacc.h>

namespace {

// Defined here rather than taken from a GUID library, so no toolchain needs one.
constexpr CLSID kClsidAccPropServices{0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kIidAccPropServices{0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID kLiveSettingProperty{0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
// EVENT_OBJECT_LIVEREGIONCHANGED, from Windows 8 on; older headers lack it.
constexpr DWORD kEventLiveRegionChanged = 0x8019;
// The LiveSetting values of UI Automation.
constexpr LONG kPolite = 1;
constexpr LONG kAssertive = 2;

}  // namespace

void LiveRegion::Announce(HWND window, LiveAnnouncement announcement) {
  if (announcement == LiveAnnouncement::None) return;
  if (!triedServices_) {
    triedServices_ = true;
    void* services = nullptr;
    if (SUCCEEDED(CoCreateInstance(kClsidAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIidAccPropServices,
                                   &services))) {
      services_ = static_cast<IAccPropServices*>(services);
    }
  }
  if (services_ != nullptr && marked_ != announcement) {
    VARIANT setting{};
    setting.vt = VT_I4;
    setting.lVal = announcement == LiveAnnouncement::Assertive ? kAssertive : kPolite;
    if (SUCCEEDED(services_->SetHwndProp(window, static_cast<DWORD>(OBJID_CLIENT), kAccessibleLive,
                                         kLiveSettingProperty, setting))) {
      marked_ = announcement;
    }
  }
  NotifyWinEvent(kEventLiveRegionChanged, window, OBJID_CLIENT, kAccessibleLive);
}

void LiveRegion::Clear(HWND window) {
  if (services_ != nullptr && marked_ != LiveAnnouncement::None) {
    MSAAPROPID property = kLiveSettingProperty;
    services_->ClearHwndProps(window, static_cast<DWORD>(OBJID_CLIENT), kAccessibleLive, &property, 1);
  }
  Release();
}

void LiveRegion::Release() {
  if (services_ != nullptr) services_->Release();
  services_ = nullptr;
  marked_ = LiveAnnouncement::None;
}
