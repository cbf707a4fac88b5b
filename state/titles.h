#pragma once
// From the start-up text to the window's title, profile and display title.
// Pure functions.
#include <string>
#include <string_view>

#include "state/profiles.h"

// Free start-up text -> a title of at most 72 units, never empty. A URL
// never becomes a title; a path gives the stem of its last component.
std::wstring SanitizeTitle(std::wstring_view text);

// The caption and header title: a product's own name when the title is just
// that product's name or executable, else the sanitised title itself.
std::wstring ResolveDisplayTitle(std::wstring_view title, const Profile& profile);

struct AppIdentity {
  std::wstring title;         // the sanitised start-up text
  Profile profile;            // chosen from the title, not the raw command line
  std::wstring displayTitle;  // caption and header title
};

AppIdentity DeriveAppIdentity(std::wstring startupText);
