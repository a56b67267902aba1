#include "common/result.h"

namespace velquor {

std::string Problem::Describe() const {
  std::string out = file;
  if (line > 0) {
    out += (out.empty() ? "" : ", ") + std::string("line ") + std::to_string(line);
  }
  if (field > 0) {
    out += (out.empty() ? "" : ", ") + std::string("field ") + std::to_string(field);
  }
  if (!out.empty()) out += ": ";
  return out + what;
}

}  // namespace velquor
