// Writing a stored text as one field of the settings or calibration file so that the field
// reader gives it back whole: a text holding "," or a line end, or opening with a blank or
// a double quote, goes inside double quotes; every other text is written as it stands.
#pragma once

#include <string>
#include <string_view>

namespace velquor {

struct FieldText {
  std::string text;          // what goes into the file
  bool lost_quotes = false;  // the reader cannot give back a '"' inside quotes: dropped
};

FieldText QuoteForField(std::string_view text);

}  // namespace velquor
