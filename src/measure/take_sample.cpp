#include "measure/take_sample.h"

#include "daq/device_access.h"

namespace velquor {

std::string ReadFault::Describe() const {
  std::string text = "Sampling stopped at sample " + std::to_string(sample) + " of cycle " +
                     std::to_string(cycle) + ": the " + Device() + " could not be read (" + reason +
                     "); the samples of this cycle are not analysed or saved";
  if (DeviceGone()) text += "; the card is gone (unplugged, or its driver detached)";
  return text;
}

std::optional<ReadFault> TakeSample(AcqDriver& driver, DeviceState& dev,
                                    Grid<float, 2, kSampleSlots>& volt,
                                    Grid<std::uint8_t, 3, kSampleSlots>& ports, int n,
                                    const std::function<void()>& between) {
  // A failed read is not repeated and its buffer is not stored: what it holds is an older
  // sample, and saving it as this one would report a failure as a measurement.
  dev.RetCode = driver.AioInp(dev.AioId, dev.AioReq);
  if (dev.RetCode != daq_code::kOk) {
    return ReadFault{true, dev.RetCode, DescribeFailure(driver, dev.RetCode, "AioInp")};
  }
  const std::array<std::uint16_t, 2> codes = dev.AiData;
  if (between) between();
  dev.RetCode = driver.DioInp(dev.DioId, dev.DioReq);
  if (dev.RetCode != daq_code::kOk) {
    return ReadFault{false, dev.RetCode, DescribeFailure(driver, dev.RetCode, "DioInp")};
  }
  volt(0, n) = BinaryToVI(-10.0f, 10.0f, 1, 12, codes[0]);
  volt(1, n) = BinaryToVI(-10.0f, 10.0f, 1, 12, codes[1]);
  for (int k = 0; k < 3; ++k) ports(k, n) = dev.DioData.at(static_cast<std::size_t>(k));
  return std::nullopt;
}

}  // namespace velquor
