// What the built tarrow-launcher.exe carries, read with the resource
// functions from the file loaded as data: the three pictures, the three icon
// groups, the manifest and the version block.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "base/gdiplus_api_win.h"
#include "base/win_owners_win.h"
#include "tests/support/asset_files_win.h"
#include "tests/support/process_runner_win.h"
#include "ui/assets_win.h"

namespace {

constexpr WORD kEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);  // 1033
const char kPngSignature[] = "\x89PNG\r\n\x1a\n";

std::wstring LauncherPath() { return ProgramFolder() + L"\\tarrow-launcher.exe"; }

struct ModuleCloser {
  void operator()(HMODULE module) const noexcept {
    if (module != nullptr) FreeLibrary(module);
  }
};
using UniqueModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleCloser>;

// The bytes of one resource in US English, or nullopt when there is none.
std::optional<std::string> ResourceBytes(HMODULE module, LPCWSTR type, WORD id) {
  HRSRC info = FindResourceExW(module, type, MAKEINTRESOURCEW(id), kEnglishUs);
  if (info == nullptr) return std::nullopt;
  HGLOBAL loaded = LoadResource(module, info);
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr) return std::nullopt;
  return std::string(static_cast<const char*>(bytes), SizeofResource(module, info));
}

class LauncherResourcesTest : public testing::Test {
 protected:
  void SetUp() override {
    module_.reset(LoadLibraryExW(LauncherPath().c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_NE(module_.get(), nullptr) << "cannot open tarrow-launcher.exe as data, error " << GetLastError();
  }
  HMODULE module() const { return module_.get(); }

 private:
  UniqueModule module_;
};

struct ProfileArt {
  const char* profile;
  WORD pictureId;
  const wchar_t* pictureFile;
  WORD iconGroupId;
  const wchar_t* iconFile;
};

// Failure messages name the profile instead of dumping the record's bytes.
void PrintTo(const ProfileArt& art, std::ostream* out) { *out << art.profile; }

class ProfileResourcesTest : public LauncherResourcesTest, public testing::WithParamInterface<ProfileArt> {};

TEST_P(ProfileResourcesTest, CarriesTheProfilePictureAndIconGroup) {
  const ProfileArt& art = GetParam();
  ScopedGdiplus gdiplus;
  ASSERT_TRUE(gdiplus.ok());

  // The picture: the very PNG of the profile, decodable at 800 x 400.
  const auto picture = ResourceBytes(module(), MAKEINTRESOURCEW(10), art.pictureId);
  ASSERT_TRUE(picture.has_value()) << "no RCDATA " << art.pictureId;
  EXPECT_TRUE(*picture == ReadFileBytes(AssetFixture(art.pictureFile))) << "RCDATA " << art.pictureId
                                                                         << " is not " << art.profile << "'s picture";
  UniqueGpImage decoded = LoadPngResourceFrom(module(), art.pictureId);
  ASSERT_NE(decoded, nullptr);
  UINT width = 0;
  UINT height = 0;
  Gdiplus::PixelFormat format = 0;
  Gdiplus::DllExports::GdipGetImageWidth(decoded.get(), &width);
  Gdiplus::DllExports::GdipGetImageHeight(decoded.get(), &height);
  Gdiplus::DllExports::GdipGetImagePixelFormat(decoded.get(), &format);
  EXPECT_EQ(width, 800u);
  EXPECT_EQ(height, 400u);
  EXPECT_EQ(format, static_cast<Gdiplus::PixelFormat>(PixelFormat32bppPARGB));

  // The icon group: seven 32-bit PNG images, 16 to 256 pixels, each the
  // same bytes as the matching image of the profile's .ico file.
  const auto group = ResourceBytes(module(), MAKEINTRESOURCEW(14), art.iconGroupId);
  ASSERT_TRUE(group.has_value()) << "no icon group " << art.iconGroupId;
  const std::string ico = ReadFileBytes(AssetFixture(art.iconFile));
  ASSERT_GE(ico.size(), 6u + 7 * 16);
  ASSERT_GE(group->size(), 6u + 7 * 14);
  WORD count = 0;
  std::memcpy(&count, group->data() + 4, 2);
  ASSERT_EQ(count, 7);
  const int sizes[] = {16, 24, 32, 48, 64, 128, 256};
  for (int i = 0; i < 7; ++i) {
    const unsigned char* entry = reinterpret_cast<const unsigned char*>(group->data()) + 6 + 14 * i;
    const int side = entry[0] == 0 ? 256 : entry[0];
    WORD bitCount = 0;
    WORD iconId = 0;
    std::memcpy(&bitCount, entry + 6, 2);
    std::memcpy(&iconId, entry + 12, 2);
    EXPECT_EQ(side, sizes[i]);
    EXPECT_EQ(bitCount, 32);
    const auto image = ResourceBytes(module(), MAKEINTRESOURCEW(3), iconId);
    ASSERT_TRUE(image.has_value()) << "icon image " << iconId << " missing";
    EXPECT_EQ(image->compare(0, 8, kPngSignature, 8), 0) << sizes[i] << " px image is not PNG-compressed";
    DWORD fileSize = 0;
    DWORD fileOffset = 0;
    std::memcpy(&fileSize, ico.data() + 6 + 16 * i + 8, 4);
    std::memcpy(&fileOffset, ico.data() + 6 + 16 * i + 12, 4);
    EXPECT_TRUE(*image == ico.substr(fileOffset, fileSize)) << sizes[i] << " px image differs from the .ico file";
  }
}

INSTANTIATE_TEST_SUITE_P(Profiles, ProfileResourcesTest,
                         testing::Values(ProfileArt{"tarrow", 201, L"tarrow-bg-v1.png", 101, L"control.ico"},
                                         ProfileArt{"quenby", 202, L"quenby-bg-v1.png", 102, L"quenby.ico"},
                                         ProfileArt{"marlisk", 203, L"marlisk-bg-v1.png", 103, L"marlisk.ico"}),
                         [](const testing::TestParamInfo<ProfileArt>& param) { return std::string(param.param.profile); });

TEST_F(LauncherResourcesTest, ManifestRunsAsInvokerPerMonitorAwareOnWindows10And11) {
  const auto manifest = ResourceBytes(module(), MAKEINTRESOURCEW(24), 1);
  ASSERT_TRUE(manifest.has_value());
  for (const char* needle : {"level=\"asInvoker\"", ">PerMonitorV2<", ">true/pm<",
                             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) {
    EXPECT_NE(manifest->find(needle), std::string::npos) << "manifest lacks " << needle;
  }
}

TEST(LauncherVersionTest, VersionBlockNamesTheProductAndTheBuildVersion) {
  const std::wstring path = LauncherPath();
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
  ASSERT_GT(size, 0u);
  std::vector<unsigned char> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
  const auto text = [&block](const wchar_t* key) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + key;
    if (!VerQueryValueW(block.data(), query.c_str(), &value, &length) || value == nullptr) return std::wstring();
    return std::wstring(static_cast<const wchar_t*>(value));
  };
  EXPECT_EQ(text(L"ProductName"), L"Tarrow Launcher");
  EXPECT_EQ(text(L"ProductVersion"), L"" TARROW_EXPECTED_VERSION);
  EXPECT_EQ(text(L"FileVersion"), L"" TARROW_EXPECTED_VERSION);
  EXPECT_FALSE(text(L"FileDescription").empty());
}

}  // namespace
