// Reading a JSON text back into values: what the program's own JSON documents hold (objects,
// arrays, strings, numbers, true, false, null), for files it wrote and reads again.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"

namespace velquor {

struct JsonValue {
  enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject };
  Kind kind = Kind::kNull;
  bool boolean = false;
  double number = 0;
  std::string text;              // a string, in UTF-8
  std::vector<JsonValue> items;  // an array's
  // An object's members in order: names[k] is the name of members[k]. (A vector of pairs
  // would hold this type before it is complete, which the standard library need not allow.)
  std::vector<std::string> names;
  std::vector<JsonValue> members;

  // The member of that name (the first, if named twice); none for a missing one or a value
  // that is not an object.
  const JsonValue* Find(std::string_view key) const;
  std::optional<double> Number(std::string_view key) const;
  std::optional<std::string> Text(std::string_view key) const;
  std::optional<bool> Bool(std::string_view key) const;
};

// One JSON value with nothing but white space around it, nested at most 64 deep. A problem
// names the line and the column (as its field) where the text stops being JSON.
Result<JsonValue> ParseJson(std::string_view text, const std::string& file);

}  // namespace velquor
