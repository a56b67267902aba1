#include "measure/take_sample.h"

namespace velquor {

void TakeSample(AcqDriver& driver, DeviceState& dev, Grid<float, 2, kSampleSlots>& volt,
                Grid<std::uint8_t, 3, kSampleSlots>& ports, int n) {
  // The return codes are kept in the device state and not acted on: a read is not repeated.
  dev.RetCode = driver.AioInp(dev.AioId, dev.AioReq);
  volt(0, n) = BinaryToVI(-10.0f, 10.0f, 1, 12, dev.AiData[0]);
  volt(1, n) = BinaryToVI(-10.0f, 10.0f, 1, 12, dev.AiData[1]);
  dev.RetCode = driver.DioInp(dev.DioId, dev.DioReq);
  for (int k = 0; k < 3; ++k) ports(k, n) = dev.DioData.at(static_cast<std::size_t>(k));
}

}  // namespace velquor
