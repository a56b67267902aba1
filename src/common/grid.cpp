#include "common/grid.h"

#include <stdexcept>
#include <string>

namespace velquor {

void ThrowIndexOutOfRange(int row, int i, int rows, int count) {
  // Appended piece by piece: GCC 12 at -O3 misreads "literal" + std::string as overlapping.
  std::string what = "index ";
  if (rows > 0) {
    what.append("(").append(std::to_string(row)).append(", ").append(std::to_string(i));
    what.append(") outside (0..").append(std::to_string(rows - 1)).append(", 0..");
    what.append(std::to_string(count - 1)).append(")");
  } else {
    what.append(std::to_string(i)).append(" outside 0..").append(std::to_string(count - 1));
  }
  throw std::out_of_range(what);
}

}  // namespace velquor
