#include "measure/encoder.h"

#include <algorithm>
#include <cmath>

#include "daq/encoder_ports.h"

namespace velquor {

void AssembleEncoder(MeasurementRecord& rec) {
  const double last = std::min<double>(std::floor(rec.DataNum), kMaxSamples);
  for (int i = 0; i <= static_cast<int>(std::max(last, 0.0)); ++i) {
    const EncoderCounts counts =
        UnpackEncoderPorts({rec.PortByte(0, i), rec.PortByte(1, i), rec.PortByte(2, i)});
    // Port 2's nibbles are taken up into the counts.
    rec.PortByte(2, i) = 0;
    rec.Encoder(0, i) = counts[0];
    rec.Encoder(1, i) = counts[1];
  }
}

}  // namespace velquor
