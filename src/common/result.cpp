#include "common/result.h"

#include "common/path_map.h"

namespace velquor {

std::string Problem::Describe() const {
  // The file is named as this system writes paths, whatever form it is kept in.
  std::string out = ToNativePath(file);
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
