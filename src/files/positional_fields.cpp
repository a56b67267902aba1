#include "files/positional_fields.h"

namespace velquor {

std::optional<Field> PositionalFields::Take(int line, int index) {
  auto f = reader_.Next();
  // Only the position within the line is compared: a quoted text may hold line ends.
  if (f && f->index != index) {
    LoseStep(line, index, *f, "a text holding \",\" written without quotes?");
  }
  return f;
}

void PositionalFields::LoseStep(int line, int index, const Field& f, const std::string& why) {
  if (misplaced_) return;
  lost_line_ = index == 1 && f.index > 1 ? line - 1 : line;
  misplaced_ =
      Problem{file_, f.line, f.index,
              "the items are out of step with the lines from here on (" + why + "); line " +
                  std::to_string(line) + " field " + std::to_string(index) + " was expected"};
}

}  // namespace velquor
