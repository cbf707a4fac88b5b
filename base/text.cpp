#include "base/text.h"

namespace {

template <typename Char>
std::basic_string_view<Char> TrimBlankOf(std::basic_string_view<Char> text) {
  const auto blank = [](Char c) { return c == Char(' ') || c == Char('\t') || c == Char('\r') || c == Char('\n'); };
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && blank(text[begin])) ++begin;
  while (end > begin && blank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

}  // namespace

std::wstring_view TrimBlankView(std::wstring_view text) { return TrimBlankOf(text); }
std::string_view TrimBlankView(std::string_view bytes) { return TrimBlankOf(bytes); }
std::wstring TrimBlank(std::wstring_view text) { return std::wstring(TrimBlankOf(text)); }
std::string TrimBlank(std::string_view bytes) { return std::string(TrimBlankOf(bytes)); }

wchar_t AsciiLower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }
wchar_t AsciiUpper(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; }
bool IsAsciiLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }
bool IsAsciiDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

std::wstring DecimalText(uint64_t value) {
  wchar_t digits[20];
  size_t count = 0;
  do {
    digits[count++] = static_cast<wchar_t>(L'0' + value % 10);
    value /= 10;
  } while (value != 0);
  std::wstring text;
  text.reserve(count);
  while (count > 0) text += digits[--count];
  return text;
}

bool EqualsIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

std::wstring FoldKey(std::wstring_view text) {
  std::wstring key;
  key.reserve(text.size());
  for (wchar_t c : text) {
    c = AsciiLower(c);
    if ((c >= L'a' && c <= L'z') || IsAsciiDigit(c)) key.push_back(c);
  }
  return key;
}
