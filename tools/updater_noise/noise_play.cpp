#include "tools/updater_noise/noise_play.h"

#include <array>
#include <cstdio>
#include <iterator>
#include <string_view>

namespace {

// splitmix64: small, fast and the same everywhere.
class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform enough in [0, n) for n far below 2^32.
  uint32_t Below(uint32_t n) { return n == 0 ? 0 : static_cast<uint32_t>(Next() % n); }
  bool Chance(uint32_t inN) { return Below(inN) == 0; }
  template <typename T, size_t N>
  const T& Pick(const std::array<T, N>& items) {
    return items[Below(static_cast<uint32_t>(N))];
  }

 private:
  uint64_t state_;
};

constexpr std::array<std::string_view, 14> kSteps = {"LINK",  "MANIFEST", "VERIFY", "SCAN",  "DOWNLOAD",
                                                     "APPLY", "LAUNCH",   "READY",  "ERROR", "STOP",
                                                     "link",  "Transfer", "",       "NOSUCHSTEP"};

std::string Fraction(Rng& rng) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%u.%03u", rng.Chance(10) ? 1u : 0u, rng.Below(1000));
  return buffer;
}

std::string ValidLine(Rng& rng) {
  const std::string step(rng.Pick(kSteps));
  switch (rng.Below(8)) {
    case 0:
      return "progress " + Fraction(rng) + " " + step + " Block " + std::to_string(rng.Below(100000)) + "\n";
    case 1:
      return "{\"kind\":\"progress\",\"value\":" + Fraction(rng) + ",\"caption\":\"" + step +
             "\",\"detail\":\"Fetching files \\u00e9\\ud83d\\ude00\"}\n";
    case 2:
      return rng.Chance(3) ? "status Mirror failed over\n" : "status Verifying package\r\n";
    case 3:
      return "{\"type\":\"status\",\"status\":\"Comparing local files\"}\n";
    case 4:
      return rng.Chance(2) ? "error Disk full\n" : "{\"kind\":\"error\",\"detail\":\"Signature mismatch\"}\n";
    case 5:
      return "preview " + step + "\n";
    case 6:
      return rng.Chance(2) ? "cancelled\n" : "Can-Celled\n";
    default:
      return "unknown-kind with some text\n";
  }
}

std::string Garbage(Rng& rng) {
  std::string bytes(1 + rng.Below(600), '\0');
  for (char& c : bytes) {
    unsigned char b = static_cast<unsigned char>(rng.Below(256));
    if (b == '\n') b = 0xFF;
    c = static_cast<char>(b);
  }
  if (rng.Chance(3)) bytes[0] = '{';  // an object that never ends
  if (!rng.Chance(4)) bytes += '\n';
  return bytes;
}

std::string NulBytes(Rng& rng) {
  using namespace std::string_view_literals;
  constexpr std::array<std::string_view, 5> kLines = {
      "progress 0.5 DOWN\0LOAD Block\0 7\n"sv,
      "\0\0\0\n"sv,
      "{\"kind\":\"sta\0tus\",\"text\":\"a\0b\"}\n"sv,
      "{\"kind\":\"status\",\"text\":\"\\u0000\\u0000 nul escapes\"}\n"sv,
      "status \0\n"sv,
  };
  return std::string(rng.Pick(kLines));
}

std::string InvalidUtf8(Rng& rng) {
  constexpr std::array<std::string_view, 6> kLines = {
      "status \xC3\x28 broken pair\n",
      "status \xF0\x28\x8C\xBC and \xF8\xA1\xA1\xA1\xA1 five bytes\n",
      "status \xED\xA0\x80\xED\xB0\x80 encoded surrogates\n",
      "status \xC0\xAF overlong slash \xE0\x80\xAF\n",
      "{\"kind\":\"progress\",\"value\":0.4,\"caption\":\"\xFF\xFE\",\"detail\":\"\xC3\"}\n",
      "progress 0.3 SCAN \xE2\x82\n",  // cut in the middle of a sequence at the line end
  };
  return std::string(rng.Pick(kLines));
}

std::string HugeNumber(Rng& rng) {
  constexpr std::array<std::string_view, 9> kLines = {
      "progress 1e308 DOWNLOAD huge\n",
      "progress 1e999 DOWNLOAD overflow\n",
      "progress -1e999 APPLY negative overflow\n",
      "progress 99999999999999999999999999999999999999 SCAN digits\n",
      "progress 4.9e-324 VERIFY denormal\n",
      "progress -0 LINK negative zero\n",
      "{\"kind\":\"progress\",\"value\":1e400,\"caption\":\"DOWNLOAD\"}\n",
      "{\"kind\":\"progress\",\"value\":-1.7976931348623157e308}\n",
      "progress 0x1p1023 APPLY hex float\n",
  };
  return std::string(rng.Pick(kLines));
}

std::string NotANumber(Rng& rng) {
  constexpr std::array<std::string_view, 6> kLines = {
      "progress nan SCAN not a number\n",
      "progress -NaN DOWNLOAD\n",
      "progress inf APPLY infinite\n",
      "progress -infinity LINK\n",
      "{\"kind\":\"progress\",\"value\":NaN,\"caption\":\"VERIFY\"}\n",
      "{\"kind\":\"progress\",\"value\":Infinity}\n",
  };
  return std::string(rng.Pick(kLines));
}

std::string BrokenObject(Rng& rng) {
  constexpr std::array<std::string_view, 9> kLines = {
      "{\"kind\":\"progress\",\"value\":\n",
      "{\"kind\":\"status\",\"text\":\"never closed\n",
      "{\"detail\":\"\\u\",\"kind\":\"status\",\"text\":\"\\ud83d\"}\n",
      "{\"kind\":\"status\",\"text\":\"\\\n",
      "{\"kind\":{\"kind\":{\"kind\":[\"progress\"]}},\"value\":[0.5]}\n",
      "{\"kind\"\n",
      "{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{\n",
      "{\"kind\":\"progress\",\"value\":\"0.5\",\"caption\":true,\"detail\":null}\n",
      "   {\"kind\":\"error\",\"detail\":\"\\u00\"}   \n",
  };
  return std::string(rng.Pick(kLines));
}

std::string HugeLine(Rng& rng) {
  const size_t length = (size_t{1} << 20) + rng.Below(4000);
  std::string line;
  line.reserve(length + 64);
  switch (rng.Below(3)) {
    case 0:
      line = "status ";
      break;
    case 1:
      line = "{\"kind\":\"progress\",\"value\":0.5,\"caption\":\"DOWNLOAD\",\"detail\":\"";
      break;
    default:
      break;  // one word of over 1 MiB: the kind itself
  }
  const char fill = rng.Chance(2) ? 'W' : ' ';
  while (line.size() < length) line += (line.size() % 7 == 0) ? 'i' : fill;
  line += rng.Chance(4) ? "" : "\n";
  return line;
}

std::string BlankLine(Rng& rng) {
  constexpr std::array<std::string_view, 5> kLines = {"\n", "\r\n", " \t \r\n", "\r\r\r\n", "lone\rcarriage return\n"};
  return std::string(rng.Pick(kLines));
}

constexpr uint32_t kExitCodes[] = {0, 0, 0, 0, 1, 2, 0xFFFFFFFFu, 0xC0000005u, 0x80000000u};

}  // namespace

NoisePlay MakeNoisePlay(uint64_t seed, bool allowHuge) {
  Rng rng(seed * 0x2545F4914F6CDD1Dull + 1);
  NoisePlay play;
  const auto use = [&play](NoiseIngredient i) { play.used[static_cast<size_t>(i)] = true; };
  const auto write = [&play](std::string bytes) { play.steps.push_back(NoiseStep{std::move(bytes), 0}); };
  uint32_t sleepBudget = kNoiseMaxSleepMs;
  const auto pause = [&](uint32_t ms) {
    ms = ms < sleepBudget ? ms : sleepBudget;
    sleepBudget -= ms;
    if (ms > 0) play.steps.push_back(NoiseStep{std::string(), ms});
  };

  bool hugeLeft = allowHuge && rng.Chance(3);
  bool doneLeft = rng.Chance(3);
  const uint32_t count = 8 + rng.Below(25);
  for (uint32_t i = 0; i < count; ++i) {
    auto ingredient = static_cast<NoiseIngredient>(rng.Below(static_cast<uint32_t>(NoiseIngredient::Count)));
    if ((ingredient == NoiseIngredient::HugeLine && !hugeLeft) || (ingredient == NoiseIngredient::Done && !doneLeft)) {
      ingredient = NoiseIngredient::ValidLine;
    }
    use(ingredient);
    switch (ingredient) {
      case NoiseIngredient::ValidLine:
        write(ValidLine(rng));
        break;
      case NoiseIngredient::Garbage:
        write(Garbage(rng));
        break;
      case NoiseIngredient::NulBytes:
        write(NulBytes(rng));
        break;
      case NoiseIngredient::InvalidUtf8:
        write(InvalidUtf8(rng));
        break;
      case NoiseIngredient::HugeNumber:
        write(HugeNumber(rng));
        break;
      case NoiseIngredient::NotANumber:
        write(NotANumber(rng));
        break;
      case NoiseIngredient::BrokenObject:
        write(BrokenObject(rng));
        break;
      case NoiseIngredient::HugeLine:
        hugeLeft = false;
        write(HugeLine(rng));
        break;
      case NoiseIngredient::SplitLine: {
        const std::string line = ValidLine(rng);
        const size_t cut = 1 + rng.Below(static_cast<uint32_t>(line.size() - 1));
        write(line.substr(0, cut));
        pause(1 + rng.Below(40));
        write(line.substr(cut));
        break;
      }
      case NoiseIngredient::Blank:
        write(BlankLine(rng));
        break;
      case NoiseIngredient::Delay:
        pause(1 + rng.Below(150));
        break;
      case NoiseIngredient::Done:
        doneLeft = false;
        write("done\n");
        break;
      case NoiseIngredient::Count:
        break;
    }
  }
  if (rng.Chance(2)) write("status last line without an LF");
  play.exitCode = kExitCodes[rng.Below(static_cast<uint32_t>(std::size(kExitCodes)))];
  return play;
}

std::string NoiseBytes(const NoisePlay& play) {
  std::string bytes;
  for (const NoiseStep& step : play.steps) bytes += step.bytes;
  return bytes;
}
