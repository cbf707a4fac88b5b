#pragma once
// What the application object derives from the start-up text, and the DPI
// rule, as pure functions (the Windows object calls them).
#include <string>

#include "app/profiles.h"

struct AppIdentity {
  std::wstring title;         // the sanitised start-up text
  Profile profile;            // chosen from the title, not the raw command line
  std::wstring displayTitle;  // caption and header title
};

AppIdentity DeriveAppIdentity(std::wstring startupText);

// System DPI to the paint scale: 0 counts as 96; never below 1.0.
float DpiScaleFor(unsigned dpi);
