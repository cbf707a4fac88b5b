#pragma once
// The built-in product profiles: each product's name, badge, sequence title
// and artwork. Pure lookups.
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

// Never fails: a name that matches no product gives the tarrow row.
Profile FindProfile(std::wstring_view name);
