// Delimited field reading for settings, calibration and data files: leading blanks are
// skipped, a field ends at "," or at a line end, a field opening with '"' runs to the next '"'.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velquor {

struct Field {
  std::string text;
  int line = 0;   // 1-based line where the field starts
  int index = 0;  // 1-based position of the field within that line
};

class FieldReader {
 public:
  explicit FieldReader(std::string_view text) : text_(text) {}

  // The next field, or nothing at the end of the text.
  std::optional<Field> Next();
  bool AtEnd() const;
  int line() const { return line_; }

 private:
  bool AtLineEnd() const;
  void ConsumeLineEnd();

  std::string_view text_;
  std::size_t pos_ = 0;
  int line_ = 1;
  int index_ = 0;
  bool pending_empty_ = false;  // a trailing "," at the very end promises one empty field
};

}  // namespace velquor
