// How the two 12-bit encoder counts travel in the DIO card's three 8-bit ports: the low bytes
// in ports 0 and 1, the high nibbles in port 2 (encoder 0 in bits 0..3, encoder 1 in 4..7).
#pragma once

#include <array>
#include <cstdint>

namespace velquor {

using EncoderCounts = std::array<std::uint16_t, 2>;
using EncoderPortBytes = std::array<std::uint8_t, 3>;

// The port bytes that carry two counts (each taken modulo 4096), as the rig's wiring gives them.
EncoderPortBytes PackEncoderPorts(EncoderCounts counts);

// The counts 0..4095 three port bytes carry: the inverse of PackEncoderPorts.
EncoderCounts UnpackEncoderPorts(const EncoderPortBytes& ports);

}  // namespace velquor
