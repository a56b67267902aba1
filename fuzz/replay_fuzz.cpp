// Fuzzes the replay reader: a per-sample file's text turned into the raw device values the
// replay backend plays back. What it accepts must be what real devices could answer.
#include "daq/replay_backend.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velquor;
  auto text = fuzz::Decode(fuzz::Bytes(data, size));
  if (!text) return 0;
  auto samples = ParseReplaySamples(*text, "f_csv.csv");
  if (!samples) {
    if (samples.problem().file.empty() || samples.problem().what.empty()) fuzz::Broken();
    return 0;
  }
  if (samples.value().empty()) fuzz::Broken();  // "no samples" is a problem, not a replay
  for (const ReplaySample& s : samples.value()) {
    // 12-bit analog codes; the port bytes give back two 12-bit counts that encode the same.
    if (s.codes[0] > 4095 || s.codes[1] > 4095) fuzz::Broken();
    const int left = s.ports[0] | ((s.ports[2] & 0x0F) << 8);
    const int right = s.ports[1] | ((s.ports[2] >> 4) << 8);
    if (ReplaySampleOf({left, right}, {0.0, 0.0}).ports != s.ports) fuzz::Broken();
  }
  ReplayBackend replay("f_csv.csv", std::move(samples.value()));
  std::int32_t id = 0;
  if (replay.AioOpen(id, 0, 1) != 0) fuzz::Broken();
  return 0;
}
