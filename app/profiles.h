#pragma once
// The built-in product profiles and the text operations that lead from a
// command line to a profile and a display title. All pure functions.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct Profile {
  std::wstring key;
  std::wstring badge;
  std::wstring displayName;
  std::wstring sequenceTitle;
  std::vector<std::wstring> backgroundCandidates;
  std::vector<std::wstring> iconCandidates;
  uint32_t backgroundResourceId = 0;
  uint32_t iconResourceId = 0;
};

// Lowers ASCII letters and keeps only a-z and 0-9: "Quenby.EXE" -> "quenbyexe".
std::wstring FoldKey(std::wstring_view text);

// Never fails: a name that matches no product gives the tarrow row.
Profile FindProfile(std::wstring_view name);

// Free start-up text -> a title of at most 72 units, never empty. A URL
// never becomes a title; a path gives the stem of its last component.
std::wstring SanitizeTitle(std::wstring_view text);

// The caption and header title: a product's own name when the title is just
// that product's name or executable, else the sanitised title itself.
std::wstring ResolveDisplayTitle(std::wstring_view title, const Profile& profile);
