// Fields taken by position, as the settings and calibration files are read, with a note of
// the first field that does not stand where the file's layout puts it (a text holding ","
// written without quotes shifts every later item).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/field_reader.h"
#include "common/result.h"

namespace velquor {

class PositionalFields {
 public:
  PositionalFields(std::string_view text, std::string file)
      : reader_(text), file_(std::move(file)) {}

  // The next field, expected as field `index` of line `line` of the layout; nothing at the
  // end of the text.
  std::optional<Field> Take(int line, int index);
  // The line the reader stands on.
  int line() const { return reader_.line(); }
  // Where the items first fell out of step with the lines, if they did.
  const std::optional<Problem>& misplaced() const { return misplaced_; }
  // The first line of the layout whose items cannot be trusted once they fell out of step:
  // the line before when the step was lost at a line's first field (that line held a field
  // too many), else the line being read.
  std::optional<int> lost_line() const { return lost_line_; }
  // The caller saw the step lost at field `f`, expected as field `index` of line `line`
  // (a label of the layout standing where a value or another label belongs).
  void LoseStep(int line, int index, const Field& f, const std::string& why);

 private:
  FieldReader reader_;
  std::string file_;
  std::optional<Problem> misplaced_;
  std::optional<int> lost_line_;
};

}  // namespace velquor
