#include "tools/replay/replay_session.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <initializer_list>
#include <variant>
#include <memory>

#include "channel/line_parser.h"
#include "state/launch_transitions.h"
#include "state/launch_view.h"
#include "tools/replay/json_text.h"
#include "ui/scene/scene.h"

namespace {

std::optional<uint32_t> ParseTicks(std::wstring_view text) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  uint64_t value = 0;
  for (const wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - L'0');
  }
  if (value > kMaxTicksPerLine) return std::nullopt;
  return static_cast<uint32_t>(value);
}

// "@wait SECONDS" (a decimal with up to three places): how long the clock
// moves on, in milliseconds; nullopt for every other line.
std::optional<uint64_t> ParseWait(std::string_view line) {
  constexpr std::string_view kWait = "@wait ";
  if (line.substr(0, kWait.size()) != kWait) return std::nullopt;
  line.remove_prefix(kWait.size());
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
  uint64_t ms = 0;
  int places = -1;
  for (const char c : line) {
    if (c == '.' && places < 0) {
      places = 0;
    } else if (c >= '0' && c <= '9' && places < 3 && ms < 1'000'000'000) {
      ms = ms * 10 + static_cast<uint64_t>(c - '0');
      if (places >= 0) ++places;
    } else {
      return std::nullopt;
    }
  }
  for (int p = std::max(places, 0); p < 3; ++p) ms *= 10;
  return ms;
}

bool TakesValue(std::wstring_view arg) {
  return arg == L"--profile" || arg == L"--state" || arg == L"--updater-cmd" || arg == L"--lang";
}

void AppendKey(std::string& out, const char* key) {
  out += ",\"";
  out += key;
  out += "\":";
}

void AppendInteger(std::string& out, uint64_t value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

void AppendNumbers(std::string& out, std::initializer_list<double> values) {
  for (const double v : values) {
    out += ',';
    AppendJsonNumber(out, v);
  }
}

void AppendRect(std::string& out, const SceneRect& r) { AppendNumbers(out, {r.x, r.y, r.width, r.height}); }

void AppendColor(std::string& out, uint32_t color) {
  char buffer[12];
  std::snprintf(buffer, sizeof buffer, ",\"%08X\"", static_cast<unsigned>(color));
  out += buffer;
}

// The start every command shares: its kind and its rectangle.
void AppendHead(std::string& out, const char* kind, const SceneRect& rect) {
  out += "[\"";
  out += kind;
  out += '"';
  AppendRect(out, rect);
}

// One draw command as a JSON array: its kind, its rectangle, then what it
// paints with ("fill" and "stroke": radius and colour, "stroke" also the pen;
// "gradient": radius, mode, colours and the gradient's rectangle; "label":
// font slot, colour, alignment and text).
void AppendCommand(std::string& out, const DrawCommand& command) {
  if (const auto* c = std::get_if<FillCommand>(&command)) {
    AppendHead(out, "fill", c->rect);
    AppendNumbers(out, {c->radius});
    AppendColor(out, c->color);
  } else if (const auto* s = std::get_if<StrokeCommand>(&command)) {
    AppendHead(out, "stroke", s->rect);
    AppendNumbers(out, {s->radius});
    AppendColor(out, s->color);
    AppendNumbers(out, {s->penWidth});
  } else if (const auto* g = std::get_if<GradientCommand>(&command)) {
    AppendHead(out, "gradient", g->rect);
    AppendNumbers(out, {g->radius, static_cast<double>(g->mode)});
    AppendColor(out, g->startColor);
    AppendColor(out, g->endColor);
    AppendRect(out, g->gradientRect);
  } else if (const auto* i = std::get_if<ImageCommand>(&command)) {
    AppendHead(out, "image", i->rect);
  } else if (const auto* l = std::get_if<LabelCommand>(&command)) {
    AppendHead(out, "label", l->rect);
    AppendNumbers(out, {static_cast<double>(l->fontSlot)});
    AppendColor(out, l->color);
    out += l->align == TextAlign::Center ? ",\"center\"," : l->align == TextAlign::Far ? ",\"far\"," : ",\"near\",";
    AppendJsonString(out, l->text);
  }
  out += ']';
}

}  // namespace

std::optional<ReplayOptions> ParseReplayArguments(const std::vector<std::wstring>& args, std::string& error) {
  ReplayOptions options;
  std::vector<std::wstring> launcherArgs;
  for (size_t i = 0; i < args.size();) {
    const std::wstring& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == L"--ticks") {
      const std::optional<uint32_t> ticks = hasValue ? ParseTicks(args[i + 1]) : std::nullopt;
      if (!ticks) {
        error = "--ticks needs a whole number from 0 to " + std::to_string(kMaxTicksPerLine);
        return std::nullopt;
      }
      options.ticksPerLine = *ticks;
      i += 2;
    } else if (arg == L"--texts") {
      options.texts = true;
      i += 1;
    } else if (arg == L"--scene") {
      options.scene = true;
      i += 1;
    } else if (TakesValue(arg) && hasValue) {
      launcherArgs.push_back(arg);
      launcherArgs.push_back(args[i + 1]);
      i += 2;
    } else {
      launcherArgs.push_back(arg);
      i += 1;
    }
  }
  options.startup = ParseCommandLine(launcherArgs);
  return options;
}

ReplaySession::ReplaySession(const ReplayOptions& options)
    : identity_(DeriveAppIdentity(options.startup.startupText)),
      language_(&ChooseLanguage({options.startup.languageArgument})),
      ticksPerLine_(options.ticksPerLine),
      scene_(options.scene),
      texts_(options.texts) {
  ApplyPreviewState(state_, options.startup.stateArgument);
}

std::string ReplaySession::StartRecord() const {
  if (!texts_) return Record(nullptr);
  std::string out = "{\"language\":";
  AppendJsonString(out, language_->tag);
  AppendKey(out, "name");
  AppendJsonString(out, language_->name);
  AppendKey(out, "rightToLeft");
  out += language_->rightToLeft ? "true" : "false";
  AppendKey(out, "texts");
  out += '{';
  for (int id = 0; id < kTextCount; ++id) {
    if (id > 0) out += ',';
    AppendJsonString(out, TextKey(static_cast<TextId>(id)));
    out += ':';
    AppendJsonString(out, Text(*language_, static_cast<TextId>(id)));
  }
  out += "}}\n";
  return out + Record(nullptr);
}

void ReplaySession::Tick(uint64_t ms) {
  AnimateProgress(state_);
  AdvanceClock(state_, state_.clockMs + ms);
}

std::string ReplaySession::ApplyLine(std::string_view line) {
  ++lineNumber_;
  if (const std::optional<uint64_t> waitMs = ParseWait(line)) {
    uint64_t left = *waitMs;
    for (; left >= kTickMs; left -= kTickMs) Tick(kTickMs);
    if (left > 0) Tick(left);
    return Record(nullptr);
  }
  const std::unique_ptr<LaunchEvent> event = ParseUpdaterLine(line);
  if (event) {
    const uint32_t closeTimerMs = ApplyLaunchEvent(state_, *event).closeTimerMs;
    if (closeTimerMs != 0) closeTimerMs_ = closeTimerMs;
  }
  for (uint32_t tick = 0; tick < ticksPerLine_; ++tick) Tick(kTickMs);
  return Record(event.get());
}

std::string ReplaySession::Record(const LaunchEvent* event) const {
  const LaunchState& s = state_;
  const LaunchView view = DescribeLaunch(s, identity_.profile.sequenceTitle, *language_);
  std::string out = "{\"line\":";
  AppendInteger(out, lineNumber_);
  AppendKey(out, "event");
  if (event) {
    out += "{\"kind\":";
    AppendJsonString(out, event->kind);
    AppendKey(out, "value");
    AppendJsonNumber(out, event->value);
    AppendKey(out, "caption");
    AppendJsonString(out, event->caption);
    AppendKey(out, "detail");
    AppendJsonString(out, event->detail);
    AppendKey(out, "text");
    AppendJsonString(out, event->text);
    if (event->bytes) {
      AppendKey(out, "bytes");
      AppendInteger(out, *event->bytes);
    }
    if (event->total) {
      AppendKey(out, "total");
      AppendInteger(out, *event->total);
    }
    out += "}";
  } else {
    out += "null";
  }
  AppendKey(out, "step");
  AppendJsonString(out, s.stepKey);
  AppendKey(out, "rail");
  AppendJsonString(out, s.railKey);
  AppendKey(out, "railIndex");
  AppendInteger(out, static_cast<uint64_t>(view.railIndex));
  AppendKey(out, "status");
  AppendJsonString(out, ToneWord(view.tone));
  AppendKey(out, "progress");
  AppendJsonNumber(out, s.progress);
  AppendKey(out, "shown");
  AppendJsonNumber(out, s.shownProgress);
  AppendKey(out, "settled");
  AppendInteger(out, static_cast<uint64_t>(s.settledTicks));
  AppendKey(out, "tag");
  AppendJsonString(out, view.tag);
  AppendKey(out, "headline");
  AppendJsonString(out, view.headline);
  AppendKey(out, "title");
  AppendJsonString(out, view.title);
  AppendKey(out, "detailLine");
  AppendJsonString(out, view.detail);
  AppendKey(out, "percent");
  AppendJsonString(out, view.percent);
  AppendKey(out, "button");
  AppendJsonString(out, view.buttonLabel);
  if (s.transfer.present) {
    AppendKey(out, "clock");
    AppendInteger(out, s.clockMs);
    AppendKey(out, "transfer");
    AppendJsonString(out, view.transfer);
  }
  AppendKey(out, "closeArmed");
  if (closeTimerMs_ == 0) out += "false";
  else AppendInteger(out, closeTimerMs_);
  AppendKey(out, "displayTitle");
  AppendJsonString(out, identity_.displayTitle);
  AppendKey(out, "profile");
  AppendJsonString(out, identity_.profile.key);
  AppendKey(out, "badge");
  AppendJsonString(out, identity_.profile.badge);
  if (scene_) {
    // As the window paints it with its embedded picture, pointer elsewhere.
    const SceneInput input{view, identity_.profile.badge, identity_.displayTitle, true, false, false};
    AppendKey(out, "scene");
    out += '[';
    for (const DrawCommand& command : PaintScene(input)) {
      if (out.back() != '[') out += ',';
      AppendCommand(out, command);
    }
    out += ']';
  }
  out += "}";
  return out;
}
