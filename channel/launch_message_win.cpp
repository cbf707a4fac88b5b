#include "channel/launch_message_win.h"

#include <cstdint>

#include "base/system_library_win.h"

namespace {

// NTSTATUS BCryptGenRandom(BCRYPT_ALG_HANDLE, PUCHAR, ULONG, ULONG)
using BCryptGenRandomFn = LONG(WINAPI*)(void*, unsigned char*, ULONG, ULONG);
constexpr ULONG kUseSystemPreferredRng = 0x00000002;  // BCRYPT_USE_SYSTEM_PREFERRED_RNG
// BOOLEAN RtlGenRandom(PVOID, ULONG), exported by advapi32 as SystemFunction036.
using RtlGenRandomFn = BOOLEAN(WINAPI*)(void*, ULONG);

// Fills `bytes` from the system's generator. Neither library is in the
// import table: both come from the system folder only. advapi32 comes
// first: COM and the shell have it loaded already, while bcrypt would be a
// library (and its dependencies) loaded before the first frame for 8 bytes.
bool SystemRandom(void* bytes, ULONG size) {
  if (HMODULE advapi = LoadSystemLibrary(L"advapi32.dll")) {
    const auto generate = LookUpFunction<RtlGenRandomFn>(advapi, "SystemFunction036");
    const bool ok = generate != nullptr && generate(bytes, size) != FALSE;
    FreeLibrary(advapi);
    if (ok) return true;
  }
  if (HMODULE bcrypt = LoadSystemLibrary(L"bcrypt.dll")) {
    const auto generate = LookUpFunction<BCryptGenRandomFn>(bcrypt, "BCryptGenRandom");
    const bool ok = generate != nullptr &&
                    generate(nullptr, static_cast<unsigned char*>(bytes), size, kUseSystemPreferredRng) >= 0;
    FreeLibrary(bcrypt);
    if (ok) return true;
  }
  return false;
}

uint64_t Mix(uint64_t x) {  // splitmix64's finaliser
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

WPARAM DrawCookie() {
  uint64_t value = 0;
  if (!SystemRandom(&value, sizeof value)) {
    // Last resort, far weaker: what differs between runs and processes.
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    int local = 0;
    value = Mix(static_cast<uint64_t>(counter.QuadPart) ^ Mix(GetCurrentProcessId()) ^
                Mix(reinterpret_cast<uintptr_t>(&local)) ^ Mix(GetTickCount64()));
  }
  const auto cookie = static_cast<WPARAM>(value);
  return cookie != 0 ? cookie : 1;  // 0 is what a stray message most likely carries
}

// Posts with the cookie until the window takes the message; false when the
// window is gone.
bool PostPatiently(HWND window, UINT message, LPARAM lParam) {
  while (!PostMessageW(window, message, LaunchMessageCookie(), lParam)) {
    if (!IsWindow(window)) return false;
    // The queue is at its quota: the window thread is behind. Let it catch up.
    Sleep(1);
  }
  return true;
}

}  // namespace

WPARAM LaunchMessageCookie() {
  static const WPARAM cookie = DrawCookie();
  return cookie;
}

void PostLaunchEvents(HWND window, std::unique_ptr<LaunchEventBatch> batch) {
  if (!batch || batch->events.empty()) return;
  LaunchEventBatch* raw = batch.release();
  if (!PostPatiently(window, WM_LAUNCH_EVENT, reinterpret_cast<LPARAM>(raw))) delete raw;
}

void PostUpdaterEnded(HWND window, std::unique_ptr<LaunchEvent> report) {
  LaunchEvent* raw = report.release();
  if (!PostPatiently(window, WM_UPDATER_ENDED, reinterpret_cast<LPARAM>(raw))) delete raw;
}
