// Fuzzes the replay reader: a per-sample file's text, read by the files layer's row reader,
// turned into the raw device values the replay backend plays back. What it accepts must be
// what real devices could answer, and the devices must give it back sample by sample.
#include "fuzz/fuzz_input.h"
#include "replay/replay_backend.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velquor;
  auto text = fuzz::Decode(fuzz::Bytes(data, size));
  if (!text) return 0;
  auto samples = ParseReplaySamples(*text, "f_csv.csv");
  if (!samples) {
    if (samples.problem().file != "f_csv.csv" || samples.problem().what.empty()) fuzz::Broken();
    return 0;
  }
  const std::vector<ReplaySample> played = samples.value();
  if (played.empty() || played.size() > 2000) fuzz::Broken();  // "no samples" is a problem
  ReplayBackend replay("f_csv.csv", std::move(samples.value()));
  DeviceState dev;
  dev.ChannelList = {0, 1};
  dev.PortList = {0, 1, 2};
  dev.AioReq = {&dev.AiData, &dev.ChannelList, 2};
  dev.DioReq = {&dev.PortList, 3, &dev.DioData};
  if (replay.AioOpen(dev.AioId, 0, 1) != 0 || replay.DioOpen(dev.DioId, 1, 1) != 0) fuzz::Broken();
  for (const ReplaySample& s : played) {
    // 12-bit analog codes; port bytes that give back two 12-bit counts packed the same way.
    if (s.codes[0] > 4095 || s.codes[1] > 4095) fuzz::Broken();
    if (PackEncoderPorts(UnpackEncoderPorts(s.ports)) != s.ports) fuzz::Broken();
    if (replay.AioInp(dev.AioId, dev.AioReq) != 0 || dev.AiData != s.codes) fuzz::Broken();
    if (replay.DioInp(dev.DioId, dev.DioReq) != 0 || dev.DioData != s.ports) fuzz::Broken();
  }
  return 0;
}
