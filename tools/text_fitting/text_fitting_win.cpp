// text-fitting.exe: lays out every text of every language in every state
// (ShowcaseStates) at DPI scale 1.0 and 1.5 as the window paints it, and
// prints per language and scale how many texts end in an ellipsis, then
// which. Exit code 1 when a chip tag or a button label is cut, or another
// text is cut where the English text in the same place is not; else 0.
//
//   text-fitting [--lang TAG]    one language (beside English) instead of all
#include <windows.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <variant>
#include <vector>

#include "channel/utf8.h"
#include "state/languages.h"
#include "state/launch_view.h"
#include "state/titles.h"
#include "ui/paint/fonts_win.h"
#include "ui/scene/layout.h"
#include "ui/scene/scene.h"
#include "ui/paint/text_line_win.h"

namespace {

constexpr float kScales[] = {1.0f, 1.5f};

// Where a label is drawn, named by its font slot; the chip shares its slot
// with the caption and stands above it.
std::string ElementOf(const LabelCommand& label) {
  static const char* const kNames[] = {"badge",  "title bar",  "button",  "panel title",
                                       "detail", "card title", "caption", "percent"};
  if (label.fontSlot == kFontCardSmall && label.rect.y == layout::kChip.y) return "chip";
  return kNames[label.fontSlot];
}

class Fitter {
 public:
  explicit Fitter(const UiFonts& fonts) : fonts_(fonts) {}

  // The width a text needs in units at `scale`, measured once.
  float Width(const std::wstring& text, int slot, float scale) {
    const auto key = std::make_tuple(text, slot, scale);
    const auto found = widths_.find(key);
    if (found != widths_.end()) return found->second;
    return widths_[key] = MeasureTextFit(fonts_, text, slot, scale, 0).width;
  }

  bool Fits(const LabelCommand& label, float scale) {
    return Width(label.text, label.fontSlot, scale) <= label.rect.width;
  }

  // The labels of the state's scene as the window paints it at `scale`,
  // the chip, button and pill grown to their labels.
  std::vector<LabelCommand> Labels(const LaunchState& state, const Language& language, float scale) {
    const LaunchView view = DescribeLaunch(state, identity_.profile.sequenceTitle, language);
    SceneInput input{view, identity_.profile.badge, identity_.displayTitle, true, false, false};
    input.labelWidths = MeasureGrowingLabels(fonts_, view, scale);
    std::vector<LabelCommand> labels;
    for (const DrawCommand& command : PaintScene(input)) {
      if (const auto* label = std::get_if<LabelCommand>(&command)) labels.push_back(*label);
    }
    return labels;
  }

 private:
  const UiFonts& fonts_;
  const AppIdentity identity_ = DeriveAppIdentity(L"Tarrow Preview");
  std::map<std::tuple<std::wstring, int, float>, float> widths_;
};

void Print(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring only = argc == 3 && std::wstring(argv[1]) == L"--lang" ? argv[2] : L"";
  if (argc != 1 && only.empty()) {
    std::fwprintf(stderr, L"usage: text-fitting [--lang TAG]\n");
    return 2;
  }
  UiFonts fonts;
  CreateFonts(fonts);
  if (!fonts.ready()) {
    std::fwprintf(stderr, L"text-fitting: no text path (Uniscribe)\n");
    return 1;
  }
  Fitter fitter(fonts);
  const std::vector<LaunchState> states = ShowcaseStates();
  std::string table = "Texts ending in an ellipsis, by language and DPI scale\nlanguage    1.0   1.5\n";
  std::string cuts;
  bool failed = false;
  for (const Language& language : AllLanguages()) {
    if (!only.empty() && language.tag != only && &language != &English()) continue;
    std::string row = WideToUtf8(language.tag);
    row.resize(10, ' ');
    for (float scale : kScales) {
      std::set<std::pair<std::string, std::wstring>> cut;  // element, text
      for (const LaunchState& state : states) {
        const std::vector<LabelCommand> labels = fitter.Labels(state, language, scale);
        const std::vector<LabelCommand> english = fitter.Labels(state, English(), scale);
        for (size_t i = 0; i < labels.size(); ++i) {
          const std::string element = ElementOf(labels[i]);
          if (fitter.Fits(labels[i], scale) || !cut.insert({element, labels[i].text}).second) continue;
          const bool mustFit = element == "chip" || element == "button" || fitter.Fits(english[i], scale);
          failed = failed || mustFit;
          char line[160];
          std::snprintf(line, sizeof line, "%s %-8s %.1f  %-11s needs %3.0f of %3.0f  ", mustFit ? "FAIL" : "    ",
                        WideToUtf8(language.tag).c_str(), static_cast<double>(scale), element.c_str(),
                        static_cast<double>(fitter.Width(labels[i].text, labels[i].fontSlot, scale)),
                        static_cast<double>(labels[i].rect.width));
          cuts += line + WideToUtf8(labels[i].text) + "\n";
        }
      }
      char count[16];
      std::snprintf(count, sizeof count, "%6zu", cut.size());
      row += count;
    }
    table += row + "\n";
  }
  Print(table + "\n" + cuts);
  Print(failed ? "FAILED: a chip tag or button label, or a text the English one fits, is cut\n" : "OK\n");
  return failed ? 1 : 0;
}
