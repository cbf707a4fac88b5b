#include "ui/scene/display_settings.h"

#include <gtest/gtest.h>

namespace {

// The system colours of "High Contrast Black" as GetSysColor gives them
// (0x00BBGGRR): black window, white text, cyan highlight, green gray text.
constexpr DisplaySettings kBlackTheme{true, false,
                                      {0x000000, 0xFFFFFF, 0xFFEB1A, 0x000000, 0x3FF23F, 0x000000, 0xFFFFFF}};

TEST(ChooseDisplayTest, FollowsBothAnswersOfEachSetting) {
  const DisplayChoice on = ChooseDisplay(kBlackTheme);
  ASSERT_TRUE(on.highContrast.has_value());
  EXPECT_EQ(*on.highContrast,
            (ScenePalette{0xFF000000, 0xFFFFFFFF, 0xFF1AEBFF, 0xFF000000, 0xFF3FF23F, 0xFF000000, 0xFFFFFFFF}))
      << "red and blue trade places; every colour opaque";
  EXPECT_FALSE(on.animateProgress);

  DisplaySettings off = kBlackTheme;
  off.highContrast = false;
  off.animations = true;
  const DisplayChoice design = ChooseDisplay(off);
  EXPECT_FALSE(design.highContrast.has_value()) << "the design look, whatever the system colours";
  EXPECT_TRUE(design.animateProgress);
}

}  // namespace
