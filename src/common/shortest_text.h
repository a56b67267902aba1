// The shortest decimal text that reads back to the same double, as the tidy CSV and JSON
// forms print their numbers.
#pragma once

#include <string>

namespace velquor {

// "0.1", "2", "1e-05", "-0.25"; a value that is not finite gives "nan", "inf" or "-inf".
std::string ShortestText(double v);
// The same for a single: 20.0000038f gives "20.000004", 0.1f gives "0.1".
std::string ShortestText(float v);

}  // namespace velquor
