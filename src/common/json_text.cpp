#include "common/json_text.h"

#include <array>
#include <cmath>

#include "common/number_text.h"

namespace velquor {

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      static constexpr std::array<char, 17> kHex = {"0123456789abcdef"};
      out += "\\u00";
      out += kHex.at(u >> 4);
      out += kHex.at(u & 0xF);
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string JsonNumber(double v) {
  return std::isfinite(v) ? PlainForm(v) : "null";
}

std::string JsonNumber(float v) {
  return std::isfinite(v) ? PlainForm(v) : "null";
}

std::string JsonArray(const std::vector<std::string>& members) {
  std::string out = "[";
  for (std::size_t i = 0; i < members.size(); ++i) {
    if (i > 0) out += ",";
    out += members[i];
  }
  return out + "]";
}

JsonObject& JsonObject::Add(std::string_view key, std::string json_value) {
  if (!body_.empty()) body_ += ",";
  body_ += JsonString(key);
  body_ += ":";
  body_ += json_value;
  return *this;
}

}  // namespace velquor
