#pragma once
// From the start-up text to the window's title, profile and display title.
// Pure functions.
#include <string>
#include <string_view>

#include "state/profiles.h"

struct AppIdentity {
  std::wstring title;         // the sanitised start-up text
  Profile profile;            // chosen from the title, not the raw command line
  std::wstring displayTitle;  // caption and header title
};

AppIdentity DeriveAppIdentity(std::wstring startupText);
