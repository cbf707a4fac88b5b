#pragma once
// The built-in product profiles: each product's name, badge, sequence title
// and artwork. Pure lookups.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "state/brand.h"

struct Profile {
  std::wstring key;
  // The short name the product also answers to ("qb"); empty for the
  // fallback row, which no name selects and whose title is never replaced.
  std::wstring alias;
  std::wstring badge;
  std::wstring displayName;
  std::wstring sequenceTitle;
  std::vector<std::wstring> backgroundCandidates;
  std::vector<std::wstring> iconCandidates;
  uint32_t backgroundResourceId = 0;
  uint32_t iconResourceId = 0;
  uint32_t background2xResourceId = 0;  // drawn from a scale of 1.5 on; 0: none
};

// A product's own brand in place of the built-in rows: its name, badge and
// header line over the fallback row, which keeps its artwork where the brand
// brings none of its own (`pictureId`, `picture2xId`, `iconId`: resources,
// 0 for none).
Profile BrandedProfile(const Brand& brand, uint32_t pictureId, uint32_t picture2xId, uint32_t iconId);

// Never fails: a name that matches no product gives the tarrow row.
Profile FindProfile(std::wstring_view name);

// Whether a folded title (FoldKey) is just the product's name, its
// executable's name or its alias.
bool NamesProduct(std::wstring_view foldedTitle, const Profile& profile);
