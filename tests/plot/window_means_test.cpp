// The speed, turning-rate and power graphs of short intervals: means over 20 ms windows
// drawn from a record analysed as a measured one.
#include "plot/window_means.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "analysis/constants.h"
#include "analysis/kinematics.h"
#include "plot/graph_inputs.h"

namespace velquor {
namespace {

using testing::GraphInputs;
using testing::kCh0;
using testing::kCh1;
using testing::kOther;
using testing::LinesIn;

// The speed of one encoder count per sample step.
double CountSpeed(double interval_ms) {
  return static_cast<double>(kWheelRadius) * (2 * kPi5 / kCountsPerTurn) / (interval_ms / 1000);
}

// A chair rolling straight at `speed` m/s for n samples: each wheel's count is the whole
// part of the distance in counts (the left encoder counts backwards), the gauges give 2 V.
std::unique_ptr<GraphInputs> Rolling(double interval_ms, int n, double speed) {
  auto in = std::make_unique<GraphInputs>();
  MeasurementRecord& rec = in->record;
  rec.SampInterval = interval_ms;
  rec.DataNum = static_cast<float>(n);
  rec.MeasTime = interval_ms * n / 1000;
  const double per_sample = speed / CountSpeed(interval_ms);
  for (int i = 1; i <= n; ++i) {
    const auto counts = static_cast<int>(std::floor(per_sample * (i - 1)));
    rec.Encoder(0, i) = static_cast<float>(((1000 - counts) % 4096 + 4096) % 4096);
    rec.Encoder(1, i) = static_cast<float>((1000 + counts) % 4096);
    rec.Volt(0, i) = rec.Volt(1, i) = 2;
  }
  Calibration cal;
  cal.Ka1 = {10, 10};
  EXPECT_TRUE(CalcKinematics(rec, cal, false, in->series, in->kin).ok());
  return in;
}

TEST(WindowMeans, OneMillisecondSpeedIsDrawnAsTwentyMillisecondMeans) {
  auto in = Rolling(1, 2000, 1.1);
  // The per-sample speed takes only whole counts per step: 0.974 and 1.948 m/s.
  const double quantum = CountSpeed(1);
  int at_quantum = 0;
  for (int i = 2; i <= 2000; ++i) {
    const double v = in->series.Speed(1, i);
    EXPECT_TRUE(std::fabs(v - quantum) < 1e-3 || std::fabs(v - 2 * quantum) < 1e-3)
        << i << ": " << v;
    at_quantum += std::fabs(v - quantum) < 1e-3;
  }
  ASSERT_GT(at_quantum, 1000);

  in->DrawAll();
  EXPECT_EQ(testing::Texts(in->At(kSpeedGraph).frame, 4), "0|2|0|2");
  for (Rgb colour : {kCh0, kCh1}) {
    const auto lines = LinesIn(in->At(kSpeedGraph).canvas, colour);
    ASSERT_EQ(lines.size(), 2000u - 20u - 1u);
    for (const LineCmd& l : lines) {
      // A window of 20 steps holds 22 or 23 counts: 1.071 or 1.120 m/s.
      EXPECT_NE(l.y1, static_cast<float>(quantum));
      EXPECT_NEAR(l.y1, 1.1, quantum / 20 + 1e-4);
      EXPECT_NEAR(l.y2, 1.1, quantum / 20 + 1e-4);
    }
    // Window a covers 1 + a .. 20 + a; its middle is 10 ms after its start.
    EXPECT_FLOAT_EQ(lines.front().x1, 0.011f);
    EXPECT_FLOAT_EQ(lines.back().x2, 1.990f);
  }
}

TEST(WindowMeans, TitlesAndWindowsByInterval) {
  struct Case {
    double interval;
    int steps;
    std::string mean;  // what the three graphs' titles end with
  };
  const Case cases[] = {{1, 20, ", 20 ms mean"},
                        {2, 10, ", 20 ms mean"},
                        {3, 7, ", 21 ms mean"},
                        {10, 2, ", 20 ms mean"},
                        {15, 1, ""},
                        {20, 1, ""},
                        {50, 1, ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.interval);
    EXPECT_EQ(MeanWindowSteps(c.interval), c.steps);
    auto in = Rolling(c.interval, 400, 1.1);
    in->DrawAll();
    EXPECT_EQ(in->At(kSpeedGraph).frame.Text(AxisText::kYaxis), "Speed (m/s)" + c.mean);
    EXPECT_EQ(in->At(kTurnRateGraph).frame.Text(AxisText::kYaxis), "Turn (deg/s)" + c.mean);
    EXPECT_EQ(in->At(kPowerGraph).frame.Text(AxisText::kYaxis), "Power (W)" + c.mean);
    EXPECT_EQ(QuantisationNotice(c.interval).has_value(), c.steps > 1);
  }
  // The notice names the count speed and the window.
  EXPECT_EQ(QuantisationNotice(1).value(),
            "At 1 ms one encoder count in a sample is 0.97 m/s, so per-sample speeds, turning "
            "rates and powers jump in such steps: their graphs show 20 ms means, the files and "
            "result boxes keep the per-sample values");
  // A record of one window and a step has no second window: drawn per sample.
  auto short_record = Rolling(1, 21, 1.1);
  short_record->DrawAll();
  EXPECT_EQ(short_record->At(kSpeedGraph).frame.Text(AxisText::kYaxis), "Speed (m/s)");
}

TEST(WindowMeans, EachMeanIsTheMeanOfTheStepsItHolds) {
  auto in = Rolling(1, 300, 0.8);
  // A turn and an uneven torque, so the three series change within a window.
  for (int i = 1; i <= 300; ++i) {
    in->record.Encoder(1, i) += static_cast<float>(i / 7);
    in->record.Volt(0, i) = static_cast<float>(1 + (i % 13) * 0.1);
  }
  Calibration cal;
  cal.Ka1 = {10, 10};
  ASSERT_TRUE(CalcKinematics(in->record, cal, false, in->series, in->kin).ok());
  const MeanWindow w = MeanWindowOf(1, 300);
  ASSERT_TRUE(w.Drawn());
  for (int a : {1, 57, 280}) {
    double speed = 0, rate = 0, power = 0;
    for (int i = a + 1; i <= a + 20; ++i) {
      speed += in->series.Speed(1, i);
      rate += in->series.Beta_deg(i);
      power += in->series.Power(0, i);
    }
    EXPECT_NEAR(SpeedMean(in->series, 1, w, a), speed / 20, 1e-3) << a;
    EXPECT_NEAR(TurnRateMean(in->series, w, a), rate / 20, 1e-2) << a;
    EXPECT_NEAR(PowerMean(in->series, 0, w, a), power / 20, 1e-4) << a;
  }
  in->DrawAll();
  EXPECT_EQ(LinesIn(in->At(kTurnRateGraph).canvas, kOther).size(), 300u - 20u - 1u);
}

}  // namespace
}  // namespace velquor
