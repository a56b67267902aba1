#include "daq/dio_mode.h"

#include <cstdio>

namespace velquor {

std::string ModeRefusal(std::int16_t chip, std::int16_t control) {
  char word[8];
  std::snprintf(word, sizeof word, "%X",
                static_cast<unsigned>(static_cast<std::uint16_t>(control)));
  return "Dio8255Mode: control word " + std::string(word) + "h on chip " + std::to_string(chip) +
         " is not supported; only 9Bh on chip 0 (ports A, B and C all inputs) is";
}

}  // namespace velquor
