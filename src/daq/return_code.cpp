#include "daq/return_code.h"

#include <cstdio>

namespace velquor {

std::string ReturnCodeText(std::int32_t code) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "%X", static_cast<std::uint32_t>(code));
  std::string s = std::string("000") + hex;
  return s.substr(s.size() - 3) + "h";
}

}  // namespace velquor
