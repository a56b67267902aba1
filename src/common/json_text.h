// Just enough JSON for the tool's output: strings escaped, objects and arrays built from
// members that are already JSON.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velquor {

// A JSON string literal: quotes, backslashes and control characters escaped, UTF-8 kept.
std::string JsonString(std::string_view text);

// A number in plain form; null for NaN and infinities, which JSON cannot hold.
std::string JsonNumber(double v);
std::string JsonNumber(float v);  // with the digits of single precision

// "[a,b,...]" from members that are JSON already.
std::string JsonArray(const std::vector<std::string>& members);

// Members in the order they are added.
class JsonObject {
 public:
  JsonObject& Add(std::string_view key, std::string json_value);
  JsonObject& AddText(std::string_view key, std::string_view text) {
    return Add(key, JsonString(text));
  }
  std::string str() const { return "{" + body_ + "}"; }

 private:
  std::string body_;
};

}  // namespace velquor
