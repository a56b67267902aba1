// Fuzzes the trial reader: a trial's per-sample text read back into a trial's series. What it
// accepts must be samples numbered from 1 at a positive interval, with counts of 12 bits and
// markers rising; what it refuses names the file.
#include <sstream>

#include "files/trial_file_reader.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velquor;
  std::istringstream in{std::string(fuzz::Bytes(data, size))};
  Calibration cal;
  cal.Ka1 = {20, 20};
  auto trial = ReadTrialCsv(in, "f_trial.csv", cal, false);
  if (!trial) {
    if (trial.problem().file != "f_trial.csv" || trial.problem().what.empty()) fuzz::Broken();
    return 0;
  }
  const TrialSeries& s = *trial.value().series;
  if (s.Samples() < 1 || !(s.Dt() > 0)) fuzz::Broken();
  int last = 0;
  for (const TrialCsvMarker& m : trial.value().markers) {
    if (m.number <= last || m.sample < 1 || m.sample > s.Samples()) fuzz::Broken();
    last = m.number;
  }
  for (std::int64_t i = 1; i <= s.Samples(); ++i) {
    for (int w = 0; w < 2; ++w) {
      if (s.Encoder(w, i) > 4095) fuzz::Broken();
      (void)s.Power(w, i);
    }
  }
  return 0;
}
