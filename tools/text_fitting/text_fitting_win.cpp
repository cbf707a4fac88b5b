// text-fitting.exe: lays out every text of every language in every state
// (ShowcaseStates) at DPI scale 1.0 and 1.5 as the window paints it, and
// prints per language and scale how many texts end in an ellipsis or draw a
// missing-glyph box, then which. It does the same for a product name and a
// detail line in each script of kScriptSamples, as the detail line, the
// title bar and the card title of an English window. Exit code 1 when a
// text draws a box, a chip tag or a button label is cut, or another text is
// cut where the English text in the same place is not; else 0.
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
#include "state/launch_transitions.h"
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

// A product name and an updater's detail line in scripts no language of
// the launcher is written in, the eight the fallback table does not name
// among them; English first, the measure of the others.
struct ScriptSample {
  const char* script;
  const wchar_t* title;
  const wchar_t* detail;
};
constexpr ScriptSample kScriptSamples[] = {
    {"English", L"Product", L"Downloading the update"},
    {"Devanagari", L"\u0909\u0924\u094D\u092A\u093E\u0926",
     L"\u0905\u092A\u0921\u0947\u091F \u0921\u093E\u0909\u0928\u0932\u094B\u0921 \u0939\u094B \u0930\u0939\u093E "
     L"\u0939\u0948"},
    {"Thai", L"\u0E1C\u0E25\u0E34\u0E15\u0E20\u0E31\u0E13\u0E11\u0E4C",
     L"\u0E01\u0E33\u0E25\u0E31\u0E07\u0E14\u0E32\u0E27\u0E19\u0E4C\u0E42\u0E2B\u0E25\u0E14\u0E01\u0E32\u0E23"
     L"\u0E2D\u0E31\u0E1B\u0E40\u0E14\u0E15"},
    {"Bengali", L"\u09AA\u09A3\u09CD\u09AF",
     L"\u0986\u09AA\u09A1\u09C7\u099F \u09A1\u09BE\u0989\u09A8\u09B2\u09CB\u09A1 \u09B9\u099A\u09CD\u099B\u09C7"},
    {"Tamil", L"\u0BA4\u0BAF\u0BBE\u0BB0\u0BBF\u0BAA\u0BCD\u0BAA\u0BC1",
     L"\u0BAA\u0BC1\u0BA4\u0BC1\u0BAA\u0BCD\u0BAA\u0BBF\u0BAA\u0BCD\u0BAA\u0BC8\u0BAA\u0BCD "
     L"\u0BAA\u0BA4\u0BBF\u0BB5\u0BBF\u0BB1\u0B95\u0BCD\u0B95\u0BC1\u0B95\u0BBF\u0BB1\u0BA4\u0BC1"},
    {"Gujarati", L"\u0A89\u0AA4\u0ACD\u0AAA\u0ABE\u0AA6\u0AA8",
     L"\u0A85\u0AAA\u0AA1\u0AC7\u0A9F \u0AA1\u0ABE\u0A89\u0AA8\u0AB2\u0ACB\u0AA1 \u0AA5\u0A88 \u0AB0\u0AB9\u0ACD"
     L"\u0AAF\u0AC1\u0A82 \u0A9B\u0AC7"},
    {"Khmer", L"\u1795\u179B\u17B7\u178F\u1795\u179B",
     L"\u1780\u17C6\u1796\u17BB\u1784\u1791\u17B6\u1789\u1799\u1780\u1794\u1785\u17D2\u1785\u17BB\u1794\u17D2\u1794"
     L"\u1793\u17D2\u1793\u1797\u17B6\u1796"},
    {"Georgian", L"\u10DE\u10E0\u10DD\u10D3\u10E3\u10E5\u10E2\u10D8",
     L"\u10D2\u10D0\u10DC\u10D0\u10EE\u10DA\u10D4\u10D1\u10D0 \u10D8\u10E2\u10D5\u10D8\u10E0\u10D7\u10D4\u10D1\u10D0"},
    {"Armenian", L"\u0531\u0580\u057F\u0561\u0564\u0580\u0561\u0576\u0584",
     L"\u0539\u0561\u0580\u0574\u0561\u0581\u0578\u0582\u0574\u0568 \u0576\u0565\u0580\u0562\u0565\u057C\u0576\u057E"
     L"\u0578\u0582\u0574 \u0567"},
    {"Ethiopic", L"\u121D\u122D\u1275",
     L"\u12DD\u121B\u1294\u12CD \u1260\u121B\u12CD\u1228\u12F5 \u120B\u12ED \u1290\u12CD"},
    {"Sinhala", L"\u0DB1\u0DD2\u0DC2\u0DCA\u0DB4\u0DCF\u0DAF\u0DB1\u0DBA",
     L"\u0DBA\u0DCF\u0DC0\u0DAD\u0DCA\u0D9A\u0DCF\u0DBD\u0DD3\u0DB1\u0DBA \u0DB6\u0DCF\u0D9C\u0DAD \u0DC0\u0DD9\u0DB8"
     L"\u0DD2\u0DB1\u0DCA"},
    {"Emoji", L"Tarrow \U0001F680", L"\U0001F389 \U0001F680 \u2705 \U0001F512 \U0001F4E6 \u23F3 \U0001F6E0"},
};

class Fitter {
 public:
  explicit Fitter(const UiFonts& fonts) : fonts_(fonts) {}

  // What the text path says of a text in `slot` at `scale`, measured once.
  const TextFit& Fit(const std::wstring& text, int slot, float scale) {
    const auto key = std::make_tuple(text, slot, scale);
    const auto found = fits_.find(key);
    if (found != fits_.end()) return found->second;
    return fits_[key] = MeasureTextFit(fonts_, text, slot, scale, 0);
  }
  float Width(const LabelCommand& label, float scale) { return Fit(label.text, label.fontSlot, scale).width; }
  bool Fits(const LabelCommand& label, float scale) { return Width(label, scale) <= label.rect.width; }
  bool Boxes(const LabelCommand& label, float scale) { return Fit(label.text, label.fontSlot, scale).boxes; }

  // The labels of the state's scene as the window paints it at `scale`,
  // the chip, button and pill grown to their labels, for a product named
  // `product`.
  std::vector<LabelCommand> Labels(const LaunchState& state, const Language& language, float scale,
                                   const std::wstring& product = L"Tarrow Preview") {
    const AppIdentity identity = DeriveAppIdentity(product);
    const LaunchView view = DescribeLaunch(state, identity.profile.sequenceTitle, language);
    SceneInput input{view, identity.profile.badge, identity.displayTitle, true, false, false};
    input.labelWidths = MeasureGrowingLabels(fonts_, view, scale);
    std::vector<LabelCommand> labels;
    for (const DrawCommand& command : PaintScene(input)) {
      if (const auto* label = std::get_if<LabelCommand>(&command)) labels.push_back(*label);
    }
    return labels;
  }

 private:
  const UiFonts& fonts_;
  std::map<std::tuple<std::wstring, int, float>, TextFit> fits_;
};

void Print(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

// One line of the report on a cut label or one that draws a box.
std::string Report(bool fails, const std::string& where, float scale, const std::string& element, bool boxes,
                   float width, const LabelCommand& label) {
  char line[160];
  std::snprintf(line, sizeof line, "%s %-10s %.1f  %-11s needs %3.0f of %3.0f%s  ", fails ? "FAIL" : "    ",
                where.c_str(), static_cast<double>(scale), element.c_str(), static_cast<double>(width),
                static_cast<double>(label.rect.width), boxes ? ", boxes" : "");
  return line + WideToUtf8(label.text) + "\n";
}

// The samples of kScriptSamples in the download step of an English window:
// per script and scale how many of the detail line, the title bar and the
// card title are cut or draw a box, appended to `table`; the lines of those
// to `cuts`. False when one draws a box or is cut where English fits.
bool CheckScriptSamples(Fitter& fitter, std::string& table, std::string& cuts) {
  bool ok = true;
  table += "\nScripts as the detail line, the title bar and the card title\nscript      1.0   1.5\n";
  for (const ScriptSample& sample : kScriptSamples) {
    std::string row = sample.script;
    row.resize(10, ' ');
    for (float scale : kScales) {
      const auto labelsFor = [&](const ScriptSample& which) {
        LaunchState state;
        SetStep(state, 0.4, L"DOWNLOAD", which.detail);
        return fitter.Labels(state, English(), scale, which.title);
      };
      const std::vector<LabelCommand> labels = labelsFor(sample), english = labelsFor(kScriptSamples[0]);
      int count = 0;
      for (size_t i = 0; i < labels.size() && i < english.size(); ++i) {
        const std::string element = ElementOf(labels[i]);
        if (element != "detail" && element != "title bar" && element != "card title") continue;
        const bool boxes = fitter.Boxes(labels[i], scale);
        if (fitter.Fits(labels[i], scale) && !boxes) continue;
        const bool fails = boxes || fitter.Fits(english[i], scale);
        ok = ok && !fails;
        ++count;
        cuts += Report(fails, sample.script, scale, element, boxes, fitter.Width(labels[i], scale), labels[i]);
      }
      char counted[16];
      std::snprintf(counted, sizeof counted, "%6d", count);
      row += counted;
    }
    table += row + "\n";
  }
  return ok;
}

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
  std::string table = "Texts ending in an ellipsis or drawing boxes, by language and DPI scale\n"
                      "language    1.0   1.5\n";
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
          const bool boxes = fitter.Boxes(labels[i], scale);
          if ((fitter.Fits(labels[i], scale) && !boxes) || !cut.insert({element, labels[i].text}).second) continue;
          const bool mustFit = element == "chip" || element == "button" || fitter.Fits(english[i], scale);
          failed = failed || mustFit || boxes;
          cuts += Report(mustFit || boxes, WideToUtf8(language.tag), scale, element, boxes,
                         fitter.Width(labels[i], scale), labels[i]);
        }
      }
      char count[16];
      std::snprintf(count, sizeof count, "%6zu", cut.size());
      row += count;
    }
    table += row + "\n";
  }
  if (only.empty()) failed = !CheckScriptSamples(fitter, table, cuts) || failed;
  Print(table + "\n" + cuts);
  Print(failed ? "FAILED: a text draws a box, or a chip tag or button label, or a text the English one fits, is cut\n"
               : "OK\n");
  return failed ? 1 : 0;
}
