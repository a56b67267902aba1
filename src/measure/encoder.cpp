#include "measure/encoder.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace velquor {

void AssembleEncoder(MeasurementRecord& rec) {
  // Port 2 is peeled from its top bit down: bits 7..4 add 2048..256 to channel 1,
  // bits 3..0 add 2048..256 to channel 0.
  static constexpr std::array<int, 8> kBit = {128, 64, 32, 16, 8, 4, 2, 1};
  static constexpr std::array<int, 8> kAdd = {2048, 1024, 512, 256, 2048, 1024, 512, 256};
  const double last = std::min<double>(std::floor(rec.DataNum), kMaxSamples);
  for (int i = 0; i <= static_cast<int>(std::max(last, 0.0)); ++i) {
    float e0 = rec.PortByte(0, i);
    float e1 = rec.PortByte(1, i);
    int p = rec.PortByte(2, i);
    for (std::size_t b = 0; b < kBit.size(); ++b) {
      if (p >= kBit.at(b)) {
        (b < 4 ? e1 : e0) += static_cast<float>(kAdd.at(b));
        p -= kBit.at(b);
      }
    }
    rec.PortByte(2, i) = static_cast<std::uint8_t>(p);
    rec.Encoder(0, i) = e0;
    rec.Encoder(1, i) = e1;
  }
}

}  // namespace velquor
