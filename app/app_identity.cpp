#include "app/app_identity.h"

#include <algorithm>
#include <utility>

AppIdentity DeriveAppIdentity(std::wstring startupText) {
  AppIdentity identity;
  identity.title = SanitizeTitle(startupText);
  identity.profile = FindProfile(identity.title);
  identity.displayTitle = ResolveDisplayTitle(identity.title, identity.profile);
  return identity;
}

float DpiScaleFor(unsigned dpi) {
  if (dpi == 0) dpi = 96;
  return std::max(static_cast<float>(dpi / 96.0), 1.0f);
}
