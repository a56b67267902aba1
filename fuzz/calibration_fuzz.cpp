// Fuzzes the calibration file reader, and holds the writer to its promise: the point texts
// read are written so that they read back the same, unless the writer said otherwise.
#include <array>

#include "files/calibration_file.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velquor;
  auto text = fuzz::Decode(fuzz::Bytes(data, size));
  if (!text) return 0;
  CalibrationLoad first = ReadCalibrationText(*text, "Velquor.clb");
  CalibrationFileText written = CalibrationText(first.values);
  if (!written.notices.empty()) return 0;
  CalibrationLoad again = ReadCalibrationText(written.text, "Velquor.clb");
  if (again.values.TqText != first.values.TqText ||
      again.values.VoltText != first.values.VoltText) {
    fuzz::Broken();
  }
  if (first.values.loaded && !again.values.loaded) fuzz::Broken();
  // No torque is ever computed from a calibration that was not read whole.
  if (!first.values.loaded && (first.values.Ka1 != std::array<double, 2>{} ||
                               first.values.Ka0 != std::array<double, 2>{})) {
    fuzz::Broken();
  }
  return 0;
}
