#include "common/grid.h"

#include <stdexcept>
#include <string>

namespace velquor {

void ThrowIndexOutOfRange(int row, int i, int rows, int count) {
  std::string where = rows > 0 ? "(" + std::to_string(row) + ", " + std::to_string(i) +
                                     ") outside (0.." + std::to_string(rows - 1) + ", 0.." +
                                     std::to_string(count - 1) + ")"
                               : std::to_string(i) + " outside 0.." + std::to_string(count - 1);
  throw std::out_of_range("index " + where);
}

}  // namespace velquor
