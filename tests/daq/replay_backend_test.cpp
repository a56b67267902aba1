#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analysis/kinematics.h"
#include "calibration/calibration.h"
#include "common/number_text.h"
#include "common/text_file.h"
#include "daq/device_access.h"
#include "daq/replay_backend.h"
#include "daq/sim_rig.h"
#include "files/data_file_text.h"
#include "measure/main_loop.h"

namespace velquor {
namespace {

// One per-sample row: number, time, the four raw columns, then the 16 derived columns.
std::string Row(int i, const std::string& enc0, const std::string& enc1, const std::string& v0,
                const std::string& v1) {
  std::string row = StrForm(static_cast<double>(i)) + "," + StrForm(0.02 * i) + "," + enc0 + "," +
                    enc1 + "," + v0 + "," + v1;
  for (int k = 7; k <= 22; ++k) row += ", 0";
  return row + "\r\n";
}

const std::string kHeader =
    "i, Time(i),Encoder(0), Encoder(1),Volt(0), Volt(1),Torque(0), Torque(1),Angle_deg(0), "
    "Angle_deg(1),Distance(0), Distance(1), Distance_av,Speed(0), Speed(1), Speed_av,Power(0), "
    "Power(1),Beta_deg, Alpha_deg,x, y\r\n"
    "time, sec,pulse, pulse,V, V,Nm, Nm,deg, deg,m, m, m,m/s, m/s, m/s,W, W,deg/s, deg,m, m\r\n";

// The per-sample file the program saves after analysing a record with this calibration.
std::string SavedText(const MeasurementRecord& rec) {
  Calibration cal = Calibration::DesignTime();
  cal.Ka1 = {20.5, 19.25};
  cal.Ka0 = {0.3, -0.1};
  auto series = std::make_unique<DerivedSeries>();
  auto kin = std::make_unique<KinematicsResults>();
  const Status analysed = CalcKinematics(rec, cal, false, *series, *kin);
  EXPECT_TRUE(analysed.ok()) << (analysed.ok() ? "" : analysed.problem().Describe());
  return SampleFileText(rec, *series);
}

// A host with a clock that moves 1 ms a pass; after_cycle decides when to stop.
class TestHost : public LoopHost {
 public:
  std::function<void()> after_cycle;
  void ProcessEvents() override { ++clock_; }
  std::uint32_t ClockMs() override { return clock_; }
  void SetTimerLamp(Rgb) override {}
  void SetStartStop(bool, bool) override {}
  void AfterCycle() override { after_cycle(); }

 private:
  std::uint32_t clock_ = 1000;
};

// Opens both devices with the Card Setting's initial numbers and measures `cycles` cycles
// of n samples at 20 ms; on_cycle sees the record after each.
std::unique_ptr<MeasurementRecord> Measure(
    AcqDriver& driver, int n, int cycles = 1,
    const std::function<void(MeasurementRecord&)>& on_cycle = {}) {
  auto rec = std::make_unique<MeasurementRecord>();
  rec->SampInterval = 20;
  rec->DataNum = static_cast<float>(n);
  rec->MeasTime = rec->SampInterval * n / 1000;
  DeviceState dev;
  TimerRecord timer;
  CardSettingTexts texts;
  EXPECT_TRUE(OpenAioCard(driver, dev, texts).lampGreen);
  EXPECT_TRUE(OpenDioCard(driver, dev, texts).lampGreen);
  TestHost host;
  int done = 0;
  host.after_cycle = [&] {
    if (on_cycle) on_cycle(*rec);
    rec->StopFlag = ++done == cycles;
  };
  MainLoop({*rec, dev, timer, driver}, host);
  EXPECT_EQ(done, cycles);
  return rec;
}

class ReplayFile {
 public:
  explicit ReplayFile(const std::string& text)
      : path_(::testing::TempDir() + "velquor-replay-" + std::to_string(::getpid()) + "_csv.csv") {
    Status written = WriteShiftJisFile(path_, text);
    EXPECT_TRUE(written.ok()) << (written.ok() ? "" : written.problem().Describe());
  }
  ~ReplayFile() { std::filesystem::remove(path_); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

TEST(ReplayBackend, SavedMeasurementMeasuredAgainGivesTheSameFile) {
  constexpr int kSamples = 400;
  SimRig rig(5);
  auto saved = Measure(rig, kSamples);
  const std::string saved_text = SavedText(*saved);
  ReplayFile file(saved_text);
  auto replay = ReplayBackend::Load(file.path());
  ASSERT_TRUE(replay.ok()) << replay.problem().Describe();
  EXPECT_EQ(replay.value()->SampleCount(), static_cast<std::size_t>(kSamples));

  auto again = Measure(*replay.value(), kSamples);
  int wrapped = 0;
  for (int i = 1; i <= kSamples; ++i) {
    for (int ch = 0; ch < 2; ++ch) {
      ASSERT_EQ(again->Encoder(ch, i), saved->Encoder(ch, i))
          << "channel " << ch << " sample " << i;
      ASSERT_EQ(again->Volt(ch, i), saved->Volt(ch, i)) << "channel " << ch << " sample " << i;
    }
    wrapped += saved->Encoder(0, i) > saved->Encoder(0, i - 1) + 2048;
  }
  EXPECT_GT(wrapped, 0);  // the high nibbles of port 2 were exercised across a wrap
  // Analysed with the same calibration, the measurement saves to the same file.
  EXPECT_EQ(SavedText(*again), saved_text);
  EXPECT_EQ(replay.value()->TakeNotice(), "");  // played exactly to its end, not beyond
}

TEST(ReplayBackend, StartsOverAtTheEndAndSaysSoOnce) {
  constexpr int kSamples = 40;
  SimRig rig(2);
  auto saved = Measure(rig, kSamples);
  auto loaded = ParseReplaySamples(SavedText(*saved), "RUN_csv.csv");
  ASSERT_TRUE(loaded.ok()) << loaded.problem().Describe();
  ReplayBackend looping("RUN_csv.csv", loaded.value());

  std::vector<std::string> notices;
  std::vector<float> firsts;
  Measure(looping, kSamples, 3, [&](MeasurementRecord& rec) {
    notices.push_back(looping.TakeNotice());
    firsts.push_back(rec.Encoder(1, 1));
    for (int i = 1; i <= kSamples; ++i) {
      ASSERT_EQ(rec.Volt(0, i), saved->Volt(0, i)) << "cycle " << notices.size() << " sample " << i;
    }
  });
  ASSERT_EQ(notices.size(), 3u);
  EXPECT_EQ(notices[0], "");
  EXPECT_NE(notices[1].find("RUN_csv.csv"), std::string::npos) << notices[1];
  EXPECT_NE(notices[1].find("40 samples"), std::string::npos) << notices[1];
  EXPECT_EQ(notices[2], "");
  EXPECT_EQ(firsts, std::vector<float>(3, saved->Encoder(1, 1)));
}

TEST(ReplayBackend, CountsAndVoltsBecomeThePortBytesAndCodesTheDevicesGave) {
  const std::string text = kHeader + Row(1, " 1844", " 2834", " .2539063", "-10") +
                           Row(2, " 0", " 4095", " 9.995117", " 0") + "\r\n";  // blank last line
  auto samples = ParseReplaySamples(text, "x_csv.csv");
  ASSERT_TRUE(samples.ok()) << samples.problem().Describe();
  ASSERT_EQ(samples.value().size(), 2u);
  EXPECT_EQ(samples.value()[0].ports, (std::array<std::uint8_t, 3>{0x34, 0x12, 0xB7}));
  EXPECT_EQ(samples.value()[0].codes, (std::array<std::uint16_t, 2>{2100, 0}));
  EXPECT_EQ(samples.value()[1].ports, (std::array<std::uint8_t, 3>{0x00, 0xFF, 0xF0}));
  EXPECT_EQ(samples.value()[1].codes, (std::array<std::uint16_t, 2>{4095, 2048}));
}

TEST(ReplayBackend, UnusableFileNamesItsLineAndField) {
  const std::string good = Row(1, " 1", " 2", " 0", " 0");
  struct Case {
    std::string text;
    int line;
    int field;
    std::string says;
  };
  const std::vector<Case> cases = {
      {"", 0, 0, "no samples"},
      {kHeader, 0, 0, "no samples"},
      {kHeader + good + " 2, .04, 5, 6\r\n", 4, 0, "has 4"},
      {kHeader + Row(1, " 12.5", " 2", " 0", " 0"), 3, 3, "Encoder(0) \"12.5\""},
      {kHeader + Row(1, " 4096", " 2", " 0", " 0"), 3, 3, "0 to 4095"},
      {kHeader + good + Row(2, " 1", "-1", " 0", " 0"), 4, 4, "Encoder(1)"},
      {kHeader + Row(1, " 1", " 2", "1.2.3", " 0"), 3, 5, "Volt(0) \"1.2.3\""},
      {kHeader + Row(1, " 1", " 2", " 0", " 10.5"), 3, 6, "-10 to 10 V"},
      {kHeader + Row(1, " 1", "", " 0", " 0"), 3, 4, "Encoder(1) \"\""},
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

TEST(ReplayBackend, EachDeviceKeepsItsOwnPlaceAndTheRequestIsHonoured) {
  ReplayBackend replay("r_csv.csv", {ReplaySampleOf({0x101, 0x202}, {-10, 0}),
                                     ReplaySampleOf({0x303, 0x404}, {0, 5}),
                                     ReplaySampleOf({0x505, 0x606}, {5, -5})});
  DeviceState dev;
  dev.ChannelList = {0, 1};
  dev.AioReq = {&dev.AiData, &dev.ChannelList, 2};
  dev.PortList = {2, 0, 1};
  dev.DioReq = {&dev.PortList, 3, &dev.DioData};
  EXPECT_EQ(replay.AioInp(ReplayBackend::kAioId, dev.AioReq), daq_code::kNotOpen);
  replay.AioOpen(dev.AioId, 30, 1);
  replay.DioOpen(dev.DioId, 1, 1);
  EXPECT_EQ(replay.Dio8255Mode(dev.DioId, 0, 0x80), daq_code::kUnsupportedMode);
  EXPECT_EQ(replay.Dio8255Mode(dev.DioId, 0, 0x9B), 0);

  std::vector<std::uint16_t> analog;
  for (int k = 0; k < 4; ++k) {  // the analog stream alone runs ahead and wraps
    ASSERT_EQ(replay.AioInp(dev.AioId, dev.AioReq), 0);
    analog.push_back(dev.AiData[0]);
  }
  EXPECT_EQ(analog, (std::vector<std::uint16_t>{0, 2048, 3072, 0}));
  EXPECT_NE(replay.TakeNotice(), "");

  ASSERT_EQ(replay.DioInp(dev.DioId, dev.DioReq), 0);  // still at the first sample
  EXPECT_EQ(dev.DioData, (std::array<std::uint8_t, 3>{0x21, 0x01, 0x02}));
  dev.PortList = {0, 1, 3};
  EXPECT_EQ(replay.DioInp(dev.DioId, dev.DioReq), daq_code::kNoSuchPort);
  EXPECT_NE(replay.LastError().find("port 3"), std::string::npos);
  dev.PortList = {0, 1, 2};
  ASSERT_EQ(replay.DioInp(dev.DioId, dev.DioReq), 0);  // the refused read took no sample
  EXPECT_EQ(dev.DioData, (std::array<std::uint8_t, 3>{0x03, 0x04, 0x43}));

  EXPECT_EQ(replay.DioClose(dev.DioId), 0);
  EXPECT_EQ(replay.DioInp(dev.DioId, dev.DioReq), daq_code::kNotOpen);
  EXPECT_EQ(replay.TakeNotice(), "");
}

}  // namespace
}  // namespace velquor
