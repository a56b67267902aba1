#include "daq/encoder_ports.h"

namespace velquor {

EncoderPortBytes PackEncoderPorts(EncoderCounts counts) {
  const unsigned left = counts[0] & 0xFFFu;
  const unsigned right = counts[1] & 0xFFFu;
  return {static_cast<std::uint8_t>(left & 0xFFu), static_cast<std::uint8_t>(right & 0xFFu),
          static_cast<std::uint8_t>((left >> 8) | ((right >> 8) << 4))};
}

EncoderCounts UnpackEncoderPorts(const EncoderPortBytes& ports) {
  return {static_cast<std::uint16_t>(ports[0] | ((ports[2] & 0x0Fu) << 8)),
          static_cast<std::uint16_t>(ports[1] | ((ports[2] >> 4) << 8))};
}

}  // namespace velquor
