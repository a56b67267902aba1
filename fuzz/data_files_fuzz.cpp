// Fuzzes the data file reader: a summary file and its per-sample file, given as one input
// split at the first NUL byte, read into storage and committed into a record.
#include <memory>

#include "files/data_file_reader.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velquor;
  const std::string_view input = fuzz::Bytes(data, size);
  const std::size_t nul = input.find('\0');
  const std::string_view summary_bytes = input.substr(0, nul);
  const std::string_view sample_bytes =
      nul == std::string_view::npos ? std::string_view() : input.substr(nul + 1);
  auto summary = fuzz::Decode(summary_bytes);
  auto samples = fuzz::Decode(sample_bytes);
  if (!summary || !samples) return 0;

  auto loaded = ReadDataTexts(*summary, *samples, "f_dat.csv", "f_csv.csv");
  if (!loaded) {
    if (loaded.problem().file.empty() || loaded.problem().what.empty()) fuzz::Broken();
    return 0;
  }
  const LoadedData& d = *loaded.value();
  const float n = d.record.DataNum;
  if (!(n >= 2 && n <= 2000) || !(d.record.SampInterval > 0) || !(d.record.MeasTime > 0)) {
    fuzz::Broken();  // a condition the analysis cannot take was let through
  }
  auto rec = std::make_unique<MeasurementRecord>();
  auto series = std::make_unique<DerivedSeries>();
  CommitLoadedData(d, *rec, *series);
  return 0;
}
