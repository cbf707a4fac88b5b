#include "tools/replay/json_text.h"

#include <array>
#include <charconv>
#include <cmath>

#include "channel/utf8.h"

void AppendJsonString(std::string& out, std::wstring_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out.push_back('"');
  for (const char byte : WideToUtf8(text)) {
    switch (byte) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(byte) < 0x20) {
          out += "\\u00";
          out.push_back(kHex[(byte >> 4) & 0xF]);
          out.push_back(kHex[byte & 0xF]);
        } else {
          out.push_back(byte);
        }
    }
  }
  out.push_back('"');
}

void AppendJsonNumber(std::string& out, std::optional<double> value) {
  if (!value || std::isnan(*value)) {
    out += "null";
    return;
  }
  if (std::isinf(*value)) {
    out += *value > 0 ? "1e999" : "-1e999";
    return;
  }
  std::array<char, 32> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), *value);
  out.append(buffer.data(), result.ptr);
}
