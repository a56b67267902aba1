#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include <sstream>
#include "analysis/series.h"
#include "analysis/trial_series.h"
#include "daq/sim_rig.h"
#include "files/data_file_text.h"
#include "files/trial_csv_text.h"
#include "measure/quick_record.h"
#include "replay/replay_backend.h"

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

  int wrapped = 0;
  for (int i = 2; i <= kSamples; ++i)
    wrapped += saved->Encoder(0, i) > saved->Encoder(0, i - 1) + 2048;
  EXPECT_GT(wrapped, 0);  // the high nibbles of port 2 are exercised across a wrap
  std::vector<std::string> notices;
  for (int cycle = 0; cycle < 3; ++cycle) {
    auto again = Measure(replay, kSamples);
    notices.push_back(replay.TakeNotice());
    for (int i = 1; i <= kSamples; ++i) {
      for (int ch = 0; ch < 2; ++ch) {
        ASSERT_EQ(again->Encoder(ch, i), saved->Encoder(ch, i)) << cycle << ": " << ch << "," << i;
        ASSERT_EQ(again->Volt(ch, i), saved->Volt(ch, i)) << cycle << ": " << ch << "," << i;
      }
    }
    EXPECT_EQ(SavedText(*again), SavedText(*saved));
  }
  // Played exactly to its end the first time; the start over is told once.
  EXPECT_EQ(notices[0] + notices[2], "");
  EXPECT_NE(notices[1].find("RUN_csv.csv"), std::string::npos) << notices[1];
  EXPECT_NE(notices[1].find("400 samples"), std::string::npos) << notices[1];
}

// A trial's samples measured again through the devices are its samples, bit for bit, for
// as long as it is; then its last sample is held, and the interval is the trial's.
TEST(ReplayBackend, ATrialMeasuredAgainGivesItsSamplesThenHoldsItsLast) {
  constexpr int kSamples = 1500;
  SimRig rig(9);
  auto taken = Measure(rig, kSamples);
  TrialSeries trial(5, Calibration{}, false);
  for (int i = 1; i <= kSamples; ++i) {
    trial.Append({taken->Volt(0, i), taken->Volt(1, i)},
                 {static_cast<std::uint16_t>(taken->Encoder(0, i)),
                  static_cast<std::uint16_t>(taken->Encoder(1, i))});
  }
  std::istringstream text(testing::TrialText(trial));
  auto samples = ReadTrialReplaySamples(text, "RUN0000002_trial.csv");
  ASSERT_TRUE(samples.ok()) << samples.problem().Describe();
  ReplayBackend replay("RUN0000002_trial.csv", samples.value(), 5);
  EXPECT_EQ(replay.RecordedIntervalMs(), 5.0);
  EXPECT_EQ(replay.RecordedSamples(), kSamples);

  auto again = Measure(replay, kSamples);
  EXPECT_EQ(replay.TakeNotice(), "");
  for (int i = 1; i <= kSamples; ++i) {
    for (int ch = 0; ch < 2; ++ch) {
      ASSERT_EQ(again->Encoder(ch, i), taken->Encoder(ch, i)) << ch << "," << i;
      ASSERT_EQ(again->Volt(ch, i), taken->Volt(ch, i)) << ch << "," << i;
    }
  }
  auto after = Measure(replay, 10);
  for (int i = 1; i <= 10; ++i) {
    for (int ch = 0; ch < 2; ++ch) {
      ASSERT_EQ(after->Encoder(ch, i), taken->Encoder(ch, kSamples));
      ASSERT_EQ(after->Volt(ch, i), taken->Volt(ch, kSamples));
    }
  }
  const std::string notice = replay.TakeNotice();
  EXPECT_NE(notice.find("after 1500 samples; its last sample is held"), std::string::npos)
      << notice;
  // A cycle's file has no interval of its own.
  ReplayBackend cycle("RUN_csv.csv", samples.value());
  EXPECT_FALSE(cycle.RecordedIntervalMs().has_value());
  EXPECT_EQ(cycle.RecordedSamples(), 0);
}

TEST(ReplayBackend, UnusableFileNamesItsLineAndField) {
  // Header and units lines of 22 fields, then rows of the four raw fields and zeros.
  const std::string head = std::string(21, ',') + "\r\n" + std::string(21, ',') + "\r\n";
  std::string zeros;
  for (int k = 7; k <= 22; ++k) zeros += ", 0";
  auto row = [&zeros](const std::string& raw) { return " 1, .02," + raw + zeros + "\r\n"; };
  for (const auto& [text, line, field, says] :
       {std::tuple{head, 0, 0, "holds no samples to replay"},
        std::tuple{head + row(" 4096, 2, 0, 0"), 3, 3, "0 to 4095 for Encoder(0)"},
        std::tuple{head + row(" 1, 2, 0, 0") + row(" 1, 2, 0, volt"), 4, 6,
                   "Volt(1) of sample 2, found \"volt\""}}) {
    auto samples = ParseReplaySamples(text, "RUN0001_csv.csv");
    ASSERT_FALSE(samples.ok()) << says;
    const Problem& p = samples.problem();
    EXPECT_EQ(p.file, "RUN0001_csv.csv");
    EXPECT_EQ(p.line, line) << p.Describe();
    EXPECT_EQ(p.field, field) << p.Describe();
    EXPECT_NE(p.what.find(says), std::string::npos) << p.Describe();
  }
}

}  // namespace
}  // namespace velquor
