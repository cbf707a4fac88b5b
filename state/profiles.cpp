#include "state/profiles.h"

#include "base/text.h"

namespace {

Profile QuenbyProfile() {
  return {L"quenby", L"qb", L"QB", L"Quenby", L"Workspace launch sequence",
          {L"assets\\quenby-bg-v1.png", L"assets\\tarrow-bg-v1.png"},
          {L"quenby.ico", L"control.ico"}, 202, 102};
}

Profile MarliskProfile() {
  return {L"marlisk", L"marl", L"MK", L"Marlisk", L"Marl workspace launch",
          {L"assets\\marlisk-bg-v1.png", L"assets\\tarrow-bg-v1.png"},
          {L"marlisk.ico", L"marl.ico", L"control.ico"}, 203, 103};
}

Profile TarrowProfile() {
  return {L"tarrow", L"", L"TW", L"Tarrow", L"Secure runtime delivery",
          {L"assets\\tarrow-bg-v1.png"}, {L"control.ico"}, 201, 101};
}

bool Contains(std::wstring_view text, std::wstring_view part) { return text.find(part) != std::wstring_view::npos; }

}  // namespace

Profile FindProfile(std::wstring_view name) {
  const std::wstring k = FoldKey(name);
  for (Profile product : {QuenbyProfile(), MarliskProfile()}) {
    if (Contains(k, product.key) || k == product.alias) return product;
  }
  return TarrowProfile();
}

Profile BrandedProfile(const Brand& brand, uint32_t pictureId, uint32_t picture2xId, uint32_t iconId) {
  Profile profile = TarrowProfile();
  profile.key = L"brand";
  profile.displayName = brand.name;
  if (!brand.badge.empty()) profile.badge = brand.badge;
  if (!brand.header.empty()) profile.sequenceTitle = brand.header;
  if (pictureId != 0) {
    profile.backgroundResourceId = pictureId;
    profile.backgroundCandidates.clear();
    profile.background2xResourceId = picture2xId;
  }
  if (iconId != 0) {
    profile.iconResourceId = iconId;
    profile.iconCandidates.clear();
  }
  return profile;
}

bool NamesProduct(std::wstring_view f, const Profile& profile) {
  return !profile.alias.empty() && (f == profile.key || f == profile.key + L"exe" || f == profile.alias);
}
