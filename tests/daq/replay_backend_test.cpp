#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "analysis/series.h"
#include "daq/replay_backend.h"
#include "daq/sim_rig.h"
#include "files/data_file_text.h"
#include "measure/quick_record.h"

namespace velquor {
namespace {

// The per-sample file of a record; replay reads only the raw columns, so the derived ones
// are left at zero.
std::string SavedText(const MeasurementRecord& rec) {
  return SampleFileText(rec, *std::make_unique<DerivedSeries>());
}

std::unique_ptr<MeasurementRecord> Measure(AcqDriver& driver, int n) {
  auto rec = std::make_unique<MeasurementRecord>();
  QuickRecord(driver, *rec, n, 20);
  return rec;
}

TEST(ReplayBackend, SavedMeasurementMeasuredAgainGivesTheSameColumnsThenStartsOverOnce) {
  constexpr int kSamples = 400;
  SimRig rig(5);
  auto saved = Measure(rig, kSamples);
  auto samples = ParseReplaySamples(SavedText(*saved), "RUN_csv.csv");
  ASSERT_TRUE(samples.ok()) << samples.problem().Describe();
  ReplayBackend replay("RUN_csv.csv", samples.value());

  std::vector<std::string> notices;
  for (int cycle = 0; cycle < 3; ++cycle) {
    auto again = Measure(replay, kSamples);
    notices.push_back(replay.TakeNotice());
    int wrapped = 0;
    for (int i = 1; i <= kSamples; ++i) {
      for (int ch = 0; ch < 2; ++ch) {
        ASSERT_EQ(again->Encoder(ch, i), saved->Encoder(ch, i)) << cycle << ": " << ch << "," << i;
        ASSERT_EQ(again->Volt(ch, i), saved->Volt(ch, i)) << cycle << ": " << ch << "," << i;
      }
      wrapped += saved->Encoder(0, i) > saved->Encoder(0, i - 1) + 2048;
    }
    EXPECT_GT(wrapped, 0);  // the high nibbles of port 2 were exercised across a wrap
    EXPECT_EQ(SavedText(*again), SavedText(*saved));
  }
  // Played exactly to its end the first time; the start over is told once.
  EXPECT_EQ(notices[0], "");
  EXPECT_NE(notices[1].find("RUN_csv.csv"), std::string::npos) << notices[1];
  EXPECT_NE(notices[1].find("400 samples"), std::string::npos) << notices[1];
  EXPECT_EQ(notices[2], "");
}

TEST(ReplayBackend, UnusableFileNamesItsLineAndField) {
  const std::string head = "i, Time(i)\r\ntime, sec\r\n";
  // A per-sample row with the four raw fields given and the derived ones at zero.
  auto row = [](const std::string& raw) {
    std::string text = " 1, .02," + raw;
    for (int k = 7; k <= 22; ++k) text += ", 0";
    return text + "\r\n";
  };
  const std::string good = row(" 1, 2, 0, 0");
  struct Case {
    std::string text;
    int line;
    int field;
    std::string says;
  };
  const std::vector<Case> cases = {
      {head, 0, 0, "no samples"},
      {head + good + " 2, .04, 5, 6\r\n", 4, 0, "has 4"},
      {head + row(" 12.5, 2, 0, 0"), 3, 3, "Encoder(0) \"12.5\""},
      {head + row(" 4096, 2, 0, 0"), 3, 3, "0 to 4095"},
      {head + good + row(" 1,-1, 0, 0"), 4, 4, "Encoder(1)"},
      {head + row(" 1, 2,1.2.3, 0"), 3, 5, "Volt(0) \"1.2.3\""},
      {head + row(" 1, 2, 0, 10.5"), 3, 6, "-10 to 10 V"},
      {head + row(" 1,, 0, 0"), 3, 4, "Encoder(1) \"\""},
  };
  for (const Case& c : cases) {
    auto samples = ParseReplaySamples(c.text, "RUN0001_csv.csv");
    ASSERT_FALSE(samples.ok()) << c.says;
    const Problem& p = samples.problem();
    EXPECT_EQ(p.file, "RUN0001_csv.csv");
    EXPECT_EQ(p.line, c.line) << p.Describe();
    EXPECT_EQ(p.field, c.field) << p.Describe();
    EXPECT_NE(p.what.find(c.says), std::string::npos) << p.Describe();
  }
}

TEST(ReplayBackend, GivesTheRecordedPortsInTheRequestedOrderAndRefusesOthers) {
  ReplayBackend replay("r_csv.csv", {ReplaySampleOf({1844, 2834}, {0, 0})});
  DeviceState dev;
  dev.AioReq = {&dev.AiData, &dev.ChannelList, 2};
  dev.PortList = {2, 0, 1};
  dev.DioReq = {&dev.PortList, 3, &dev.DioData};
  EXPECT_EQ(replay.AioInp(ReplayBackend::kAioId, dev.AioReq), daq_code::kNotOpen);
  replay.DioOpen(dev.DioId, 1, 1);
  EXPECT_EQ(replay.Dio8255Mode(dev.DioId, 0, 0x80), daq_code::kUnsupportedMode);
  ASSERT_EQ(replay.DioInp(dev.DioId, dev.DioReq), 0);
  EXPECT_EQ(dev.DioData, (std::array<std::uint8_t, 3>{0xB7, 0x34, 0x12}));
  dev.PortList = {0, 1, 3};
  EXPECT_EQ(replay.DioInp(dev.DioId, dev.DioReq), daq_code::kNoSuchPort);
  EXPECT_NE(replay.LastError().find("port 3"), std::string::npos) << replay.LastError();
}

}  // namespace
}  // namespace velquor
