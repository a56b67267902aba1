// The one 8255 set-up the rig's digital ports take, control word 9Bh on chip 0 (ports A, B
// and C all inputs), and the reason a backend gives when it is asked for another.
#pragma once

#include <cstdint>
#include <string>

namespace velquor {

inline constexpr std::int16_t kAllInputsControl = 0x9B;

inline bool IsAllInputsMode(std::int16_t chip, std::int16_t control) {
  return chip == 0 && control == kAllInputsControl;
}

// "Dio8255Mode: control word 80h on chip 0 is not supported; only 9Bh on chip 0 (...) is".
std::string ModeRefusal(std::int16_t chip, std::int16_t control);

}  // namespace velquor
