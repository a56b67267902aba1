#include "files/positional_fields.h"

namespace velquor {

std::optional<Field> PositionalFields::Take(int line, int index) {
  auto f = reader_.Next();
  // Only the position within the line is compared: a quoted text may hold line ends.
  if (f && !misplaced_ && f->index != index) {
    misplaced_ = Problem{file_, f->line, f->index,
                         "the items are out of step with the lines from here on (a text holding "
                         "\",\" written without quotes?); line " +
                             std::to_string(line) + " field " + std::to_string(index) +
                             " was expected, so later values may be wrong"};
  }
  return f;
}

}  // namespace velquor
