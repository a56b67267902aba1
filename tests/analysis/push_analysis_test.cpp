#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/kinematics.h"
#include "analysis/push_analysis.h"
#include "daq/sim_rig.h"
#include "measure/quick_record.h"

namespace velquor {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A record at 20 ms with the given torque on both wheels, power = torque - 1, speed 1.5 m/s
// and 10 deg per sample; sample 1 of power and speed is NaN, as it must never be read.
struct HandSeries {
  std::unique_ptr<MeasurementRecord> rec = std::make_unique<MeasurementRecord>();
  std::unique_ptr<DerivedSeries> s = std::make_unique<DerivedSeries>();

  explicit HandSeries(const std::vector<double>& torque) {
    const int n = static_cast<int>(torque.size());
    rec->DataNum = static_cast<float>(n);
    rec->SampInterval = 20;
    for (int w = 0; w < 2; ++w) {
      for (int i = 1; i <= n; ++i) {
        const double x = torque.at(static_cast<std::size_t>(i - 1));
        s->Torque(w, i) = static_cast<float>(x);
        s->Power(w, i) = static_cast<float>(i == 1 ? kNaN : x - 1);
        s->Speed(w, i) = static_cast<float>(i == 1 ? kNaN : 1.5);
        s->Angle_deg(w, i) = static_cast<float>(10 * i);
      }
    }
  }
};

using Getter = std::function<std::optional<double>(const WheelPushes&)>;

Getter Fig(int push, PushFigure f) {
  return [=](const WheelPushes& w) { return w.pushes.at(push - 1).Figure(f); };
}
Getter Count(int PushSummary::*field) {
  return [=](const WheelPushes& w) { return std::optional<double>(w.summary.*field); };
}
Getter Sum(PushFigure f, std::optional<double> FigureSummary::*field) {
  return [=](const WheelPushes& w) { return w.summary.Figure(f).*field; };
}
Getter CurveMean(int k) {
  return [=](const WheelPushes& w) { return std::optional<double>(w.curve->mean.at(k)); };
}
Getter CurveSd(int k) {
  return [=](const WheelPushes& w) {
    return w.curve->sd ? std::optional<double>(w.curve->sd->at(k)) : std::nullopt;
  };
}

struct Expect {
  const char* what;
  Getter get;
  std::optional<double> value;  // none: the figure must be empty
  double tolerance = 1e-12;
};

struct Case {
  const char* name;
  std::vector<double> torque;
  PushParameters p;
  int pushes, partial, rejected;
  bool curve;
  std::vector<Expect> expect;
};

const std::vector<double> kTriangle = {0, 0, 2, 6, 10, 6, 2, 0, 0};
const std::vector<double> kDip = {0, 0, 2, 6, 10, 0.5, 10, 6, 2, 0, 0};
const std::vector<double> kTwoPushes = {0, 0, 2, 6, 10, 6, 2, 0, 0, 0, 0, 2, 6, 10, 6, 2, 0, 0};
const std::vector<double> kThreePushes = {0, 0, 2, 6, 10, 6, 2, 0, 0,  0, 0, 2, 6, 8,
                                          6, 2, 0, 0, 0,  0, 2, 6, 12, 6, 2, 0, 0};
using F = PushFigure;
using S = PushSummary;
using FS = FigureSummary;

PushParameters WithSkip(int first, int last) {
  PushParameters p;
  p.skip_first = first;
  p.skip_last = last;
  return p;
}
PushParameters NoMerge() {
  PushParameters p;
  p.merge_gap = 0;
  return p;
}

TEST(PushAnalysis, HandCheckedRecords) {
  const std::vector<Case> cases = {
      {"triangular push: onset and end interpolated at the threshold",
       kTriangle,
       WithSkip(0, 0),
       1,
       0,
       0,
       true,
       {{"on", Fig(1, F::kOn), 0.05},  // 0.04 + 0.02 * (1 - 0) / (2 - 0)
        {"off", Fig(1, F::kOff), 0.15},
        {"push time", Fig(1, F::kPushTime), 0.1},
        {"contact angle", Fig(1, F::kContactAngle), 40},
        {"peak", Fig(1, F::kPeakTorque), 10},
        {"time to peak", Fig(1, F::kTimeToPeak), 0.05},
        {"mean torque", Fig(1, F::kMeanTorque), 5.2},
        {"rate of rise", Fig(1, F::kRateOfRise), 200, 1e-9},
        {"smoothness", Fig(1, F::kSmoothness), 0.52},
        {"peak power", Fig(1, F::kPeakPower), 9},
        {"mean power", Fig(1, F::kMeanPower), 4.2},
        {"work", Fig(1, F::kPushWork), 0.42},
        {"mean speed", Fig(1, F::kMeanSpeed), 1.5},
        {"one push: no cycle", Fig(1, F::kCycleTime), std::nullopt},
        {"curve starts near the threshold", CurveMean(0), 1, 1e-9},
        {"curve at half time is the peak", CurveMean(50), 10, 1e-9},
        {"curve ends near the threshold", CurveMean(100), 1, 1e-9},
        {"one steady push: no curve SD", CurveSd(50), std::nullopt}}},
      {"a one-sample dip is merged into the push",
       kDip,
       {},
       1,
       0,
       0,
       false,
       {{"off after the dip", Fig(1, F::kOff), 0.19},
        {"mean over the dip too", Fig(1, F::kMeanTorque), 36.5 / 7},
        {"first peak sample", Fig(1, F::kTimeToPeak), 0.05}}},
      {"without merging the dip splits it into two short runs",
       kDip,
       NoMerge(),
       0,
       0,
       2,
       false,
       {}},
      {"a bump below the minimum peak is rejected and counted",
       {0, 0, 2, 6, 10, 6, 2, 0, 0, 0, 0, 2, 3, 4, 3, 2, 0, 0},
       {},
       1,
       0,
       1,
       false,
       {{"the bump is recovery: no next push", Fig(1, F::kCycleTime), std::nullopt}}},
      {"pushes cut by the record's start and end are partial",
       {3, 6, 2, 0, 0, 0, 0, 2, 6, 10, 6, 2, 0, 0, 0, 0, 2, 6, 8},
       {},
       1,
       2,
       0,
       false,
       {{"on", Fig(1, F::kOn), 0.15}}},
      {"cycle, recovery and negative work reach to the next push; the last has none",
       kTwoPushes,
       {},
       2,
       0,
       0,
       true,
       {{"cycle", Fig(1, F::kCycleTime), 0.18},
        {"recovery", Fig(1, F::kRecoveryTime), 0.08},
        {"push fraction", Fig(1, F::kPushFraction), 100 * 0.1 / 0.18, 1e-9},
        {"negative work over samples 8..11", Fig(1, F::kNegativeWork), -0.08},
        {"last: cycle", Fig(2, F::kCycleTime), std::nullopt},
        {"last: recovery", Fig(2, F::kRecoveryTime), std::nullopt},
        {"last: push fraction", Fig(2, F::kPushFraction), std::nullopt},
        {"last: negative work", Fig(2, F::kNegativeWork), std::nullopt},
        {"steady: only push 2", Count(&S::steady), 1},
        {"one value: mean", Sum(F::kPeakTorque, &FS::mean), 10},
        {"one value: no SD", Sum(F::kPeakTorque, &FS::sd), std::nullopt},
        {"one value: no CV", Sum(F::kPeakTorque, &FS::cv_pct), std::nullopt},
        {"no value: no mean", Sum(F::kCycleTime, &FS::mean), std::nullopt},
        {"no cycle: no frequency",
         [](const WheelPushes& w) { return w.summary.push_frequency_per_min; }, std::nullopt}}},
      {"summary over the steady pushes after skipping the first",
       kThreePushes,
       {},
       3,
       0,
       0,
       true,
       {{"steady", Count(&S::steady), 2},
        {"peak mean of pushes 2 and 3", Sum(F::kPeakTorque, &FS::mean), 10},
        {"peak SD", Sum(F::kPeakTorque, &FS::sd), std::sqrt(8.0)},
        {"peak CV", Sum(F::kPeakTorque, &FS::cv_pct), 10 * std::sqrt(8.0), 1e-9},
        {"cycle of push 2 alone", Sum(F::kCycleTime, &FS::mean), 0.18},
        {"cycle SD empty with one value", Sum(F::kCycleTime, &FS::sd), std::nullopt},
        {"frequency", [](const WheelPushes& w) { return w.summary.push_frequency_per_min; },
         60 / 0.18, 1e-9},
        {"curve at half time", CurveMean(50), 10, 1e-9},
        {"curve SD at half time", CurveSd(50), std::sqrt(8.0), 1e-9}}},
      {"skipping the last leaves push 2 alone",
       kThreePushes,
       WithSkip(1, 1),
       3,
       0,
       0,
       true,
       {{"steady", Count(&S::steady), 1}, {"peak", Sum(F::kPeakTorque, &FS::mean), 8}}},
      {"skipping every push leaves no summary and no curve",
       kTriangle,
       {},
       1,
       0,
       0,
       false,
       {{"steady", Count(&S::steady), 0}, {"no mean", Sum(F::kPushTime, &FS::mean), std::nullopt}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HandSeries h(c.torque);
    Result<PushAnalysis> r = AnalysePushes(*h.s, *h.rec, c.p);
    ASSERT_TRUE(r.ok()) << r.problem().Describe();
    for (const WheelPushes& w : r.value().wheels) {
      EXPECT_EQ(w.summary.pushes, c.pushes);
      EXPECT_EQ(static_cast<int>(w.pushes.size()), c.pushes);
      EXPECT_EQ(w.summary.partial, c.partial);
      EXPECT_EQ(w.summary.rejected, c.rejected);
      ASSERT_EQ(w.curve.has_value(), c.curve);
      for (const Expect& e : c.expect) {
        const std::optional<double> got = e.get(w);
        if (!e.value) {
          EXPECT_FALSE(got.has_value()) << e.what << " = " << *got;
        } else {
          ASSERT_TRUE(got.has_value()) << e.what;
          EXPECT_NEAR(*got, *e.value, e.tolerance) << e.what;
        }
      }
    }
  }
}

TEST(PushAnalysis, ParametersAreCheckedAndNamed) {
  struct Row {
    PushParameter which;
    const char* text;
    bool ok;
  };
  const Row rows[] = {
      {PushParameter::kThreshold, "0.1", true},   {PushParameter::kThreshold, "-2", true},
      {PushParameter::kThreshold, "abc", false},  {PushParameter::kMinPeak, "", false},
      {PushParameter::kMinPush, "-0.1", false},   {PushParameter::kMergeGap, "0", true},
      {PushParameter::kMergeGap, "1e999", false}, {PushParameter::kSkipFirst, "2.0", true},
      {PushParameter::kSkipFirst, "1.5", false},  {PushParameter::kSkipLast, "-1", false},
  };
  for (const Row& row : rows) {
    const std::string name(kPushParameterNames.at(static_cast<std::size_t>(row.which)));
    SCOPED_TRACE(name + " " + row.text);
    PushParameters p;
    const Status st = SetPushParameter(p, row.which, row.text);
    EXPECT_EQ(st.ok(), row.ok);
    if (st.ok()) {
      EXPECT_EQ(PushParameterValue(p, row.which), std::stod(row.text));
    } else {
      EXPECT_NE(st.problem().what.find(name), std::string::npos) << st.problem().what;
      EXPECT_EQ(p, PushParameters{});
    }
  }
  PushParameters bad;
  bad.min_push = -1;
  HandSeries h(kTriangle);
  const Result<PushAnalysis> r = AnalysePushes(*h.s, *h.rec, bad);
  ASSERT_FALSE(r.ok());
  EXPECT_NE(r.problem().what.find("min_push"), std::string::npos);

  // At 20 ms the default merge gap is round(2.5) = 3 samples and the minimum push 5.
  EXPECT_EQ(DurationSamples(0.05, 0.02), 3);
  EXPECT_EQ(DurationSamples(0.1, 0.02), 5);
  EXPECT_EQ(DurationSamples(0, 0.02), 1);
  EXPECT_EQ(DurationSamples(1e300, 0.02), kSampleSlots);
}

// The detector finds every push the simulated rig generated, each onset and end within one
// sample of where the noise-free push crosses the threshold, widened by the time the push
// takes to rise through the noise on the recorded torque. Positions are compared in samples
// of the record, whatever time one read of the rig stands for.
TEST(PushAnalysis, FindsEveryPushTheRigGenerated) {
  constexpr double kPi = 3.14159265358979323846;
  constexpr double kNoiseNm = 0.25;  // model noise, A/D noise and half a 12-bit step
  for (double interval : {1.0, 5.0, 20.0}) {
    SCOPED_TRACE(interval);
    constexpr int kSamples = 2000;
    SimRig rig(7);
    auto rec = std::make_unique<MeasurementRecord>();
    QuickRecord(rig, *rec, kSamples, interval);
    Calibration cal;
    cal.Ka1 = {SimRig::kNmPerVolt, SimRig::kNmPerVolt};
    auto s = std::make_unique<DerivedSeries>();
    KinematicsResults kin;
    ASSERT_TRUE(CalcKinematics(*rec, cal, false, *s, kin));

    const std::vector<RigPush> generated = rig.GeneratedPushes(kSamples);
    ASSERT_FALSE(generated.empty());
    // Durations scaled to the rig's pushes in samples, so both time bases are served.
    const double push_samples = generated.front().end - generated.front().start;
    PushParameters p;
    p.min_push = 0.25 * push_samples * interval / 1000;
    p.merge_gap = 0.1 * push_samples * interval / 1000;
    const Result<PushAnalysis> r = AnalysePushes(*s, *rec, p);
    ASSERT_TRUE(r.ok()) << r.problem().Describe();
    const double dt = interval / 1000;
    for (int w = 0; w < 2; ++w) {
      SCOPED_TRACE(w);
      const WheelPushes& found = r.value().wheels.at(static_cast<std::size_t>(w));
      std::size_t next = 0;
      for (const RigPush& g : generated) {
        const double length = g.end - g.start;
        const double rise = length / kPi * std::asin(p.threshold / g.peak[w]);
        const double slope =
            g.peak[w] * kPi / length * std::cos(std::asin(p.threshold / g.peak[w]));
        const double tolerance = 1 + kNoiseNm / slope;    // samples
        if (g.end - rise + tolerance >= kSamples) break;  // cut by the record's end
        ASSERT_LT(next, found.pushes.size()) << "generated push at sample " << g.start;
        const Push& push = found.pushes[next++];
        EXPECT_NEAR(*push.Figure(PushFigure::kOn) / dt, g.start + rise, tolerance);
        EXPECT_NEAR(*push.Figure(PushFigure::kOff) / dt, g.end - rise, tolerance);
      }
      EXPECT_GE(next, 1u);
      EXPECT_EQ(next, found.pushes.size());
    }
  }
}

}  // namespace
}  // namespace velquor
