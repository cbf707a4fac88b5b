// Every preview state, and the button's hover and press looks, rendered
// afresh and compared with the reference pictures under tests/reference. A
// change that alters the picture must be deliberate: regenerate the
// references with scripts/update-paint-references and look at them.
#include <gtest/gtest.h>

#include <cctype>
#include <optional>
#include <string>
#include <vector>

#include "tests/integration/paint_support_win.h"

namespace {

struct ReferenceCase {
  std::string state;  // upper-case state word
  std::string look;   // "", "hover" or "pressed"
  int percent;        // scale in percent: 100 or 150
};

std::string FileStem(const ReferenceCase& c) {
  std::string stem = "paint-";
  for (char ch : c.state) stem += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  if (!c.look.empty()) stem += "-" + c.look;
  return stem + "-" + std::to_string(c.percent);
}

std::vector<ReferenceCase> Cases() {
  std::vector<ReferenceCase> cases;
  for (int percent : {100, 150}) {
    for (const char* state : {"LINK", "MANIFEST", "VERIFY", "SCAN", "DOWNLOAD", "APPLY", "LAUNCH", "READY", "ERROR",
                              "STOP"}) {
      cases.push_back({state, "", percent});
    }
    cases.push_back({"ERROR", "hover", percent});
    cases.push_back({"ERROR", "pressed", percent});
    cases.push_back({"STOP", "hover", percent});
    cases.push_back({"READY", "hover", percent});
  }
  return cases;
}

class ReferencePictureTest : public testing::TestWithParam<ReferenceCase> {};

TEST_P(ReferencePictureTest, MatchesTheCommittedPicture) {
  const ReferenceCase& c = GetParam();
  const std::wstring path = SourcePath("tests/reference/" + FileStem(c) + ".png");
  const std::optional<PixelImage> reference = LoadPixels(path);
  ASSERT_TRUE(reference.has_value()) << FileStem(c) << ".png is missing: run scripts/update-paint-references";

  PreviewFrame frame;
  frame.state = std::wstring(c.state.begin(), c.state.end());
  frame.scale = static_cast<float>(c.percent) / 100.0f;
  frame.hoverButton = c.look == "hover";
  frame.pressedButton = c.look == "pressed";
  ASSERT_NE(TarrowBackground(), nullptr);
  const PixelImage fresh = RenderPreview(frame, PaintFonts(), TarrowBackground());

  ASSERT_EQ(fresh.width, reference->width);
  ASSERT_EQ(fresh.height, reference->height);
  // Small tolerance for codec and text rasteriser rounding; a moved, recoloured
  // or missing element changes far more pixels than this.
  size_t differing = 0;
  for (size_t i = 0; i < fresh.pixels.size(); ++i)
    if (ChannelDistance(fresh.pixels[i], reference->pixels[i]) > 3) ++differing;
  const size_t allowed = fresh.pixels.size() / 2000;
  if (differing > allowed) {
    const std::string stem = FileStem(c);
    SavePng(fresh, std::wstring(stem.begin(), stem.end()) + L".actual.png");
    ADD_FAILURE() << differing << " pixels differ (at most " << allowed
                  << " may); the fresh render is in the test's working directory";
  }
}

INSTANTIATE_TEST_SUITE_P(Pictures, ReferencePictureTest, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<ReferenceCase>& param) {
                           std::string name;
                           for (char ch : FileStem(param.param))
                             if (std::isalnum(static_cast<unsigned char>(ch))) name += ch;
                           return name;
                         });

}  // namespace
