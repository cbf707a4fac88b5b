// Feeds arbitrary bytes to the brand reader, which the launcher runs on the
// text in its own resources. Besides the sanitizers it checks what must hold
// for any input:
// - every problem names a line of the text (or none) and says what is wrong
//   in well-formed UTF-8 without control characters;
// - a text with errors gives an empty record; one without gives a name of
//   1 to 72 UTF-16 units;
// - the resource text of a good record reads back, without a problem, as the
//   same record without its paths.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "channel/utf8.h"
#include "state/brand.h"

namespace {

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

void CheckProblem(const BrandProblem& problem, size_t lines) {
  Require(problem.line <= lines && !problem.message.empty());
  const std::string text = DescribeBrandProblem(problem);
  Require(WideToUtf8(Utf8ToWide(text)) == text);
  for (char c : text) Require(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  size_t lines = 1;
  for (char c : text) lines += c == '\n';
  const BrandReading reading = ReadBrand(text);
  for (const BrandProblem& p : reading.errors) CheckProblem(p, lines);
  for (const BrandProblem& p : reading.warnings) CheckProblem(p, lines);
  if (!reading.errors.empty()) {
    Require(reading.brand == Brand{});
    return 0;
  }
  size_t units = 0;
  for (wchar_t c : reading.brand.name) units += static_cast<char32_t>(c) > 0xFFFF ? 2 : 1;
  Require(units >= 1 && units <= kBrandNameUnits);
  Brand withoutPaths = reading.brand;
  withoutPaths.picture = withoutPaths.picture2x = withoutPaths.icon = L"";
  const BrandReading again = ReadBrand(BrandResourceText(reading.brand));
  Require(again.errors.empty() && again.warnings.empty() && again.brand == withoutPaths);
  return 0;
}
