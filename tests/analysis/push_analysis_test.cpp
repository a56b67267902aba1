#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "analysis/push_analysis.h"

namespace velquor {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A record at 20 ms with the given torque on both wheels, power = torque - 1, speed 1.5 m/s
// and 10 deg per sample; sample 1 of power and speed is NaN, as it must never be read.
struct HandSeries {
  std::unique_ptr<MeasurementRecord> rec = std::make_unique<MeasurementRecord>();
  std::unique_ptr<DerivedSeries> s = std::make_unique<DerivedSeries>();

  // `power` (when given) replaces torque - 1 sample by sample.
  explicit HandSeries(const std::vector<double>& torque, double interval_ms = 20,
                      const std::vector<double>& power = {}) {
    const int n = static_cast<int>(torque.size());
    rec->DataNum = static_cast<float>(n);
    rec->SampInterval = interval_ms;
    for (int w = 0; w < 2; ++w) {
      for (int i = 1; i <= n; ++i) {
        const auto at = static_cast<std::size_t>(i - 1);
        const double x = torque.at(at);
        const double pw = power.empty() ? x - 1 : power.at(at);
        s->Torque(w, i) = static_cast<float>(x);
        s->Power(w, i) = static_cast<float>(i == 1 ? kNaN : pw);
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
// No push skipped, the summary taking the pushes with onsets within from..to (s).
PushParameters Window(std::optional<double> from, std::optional<double> to) {
  PushParameters p = WithSkip(0, 0);
  p.from_s = from;
  p.to_s = to;
  return p;
}
PushParameters NoMerge() {
  PushParameters p;
  p.merge_gap = 0;
  return p;
}

TEST(PushAnalysis, HandCheckedRecords) {
  // clang-format off
  const std::vector<Case> cases = {
      {"triangular push: onset and end interpolated at the threshold", kTriangle, WithSkip(0, 0),
       1, 0, 0, true,
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
        {"one steady push: no curve SD", CurveSd(50), std::nullopt}}},
      {"a one-sample dip is merged into the push", kDip, {}, 1, 0, 0, false,
       {{"off after the dip", Fig(1, F::kOff), 0.19},
        {"mean over the dip too", Fig(1, F::kMeanTorque), 36.5 / 7},
        {"first peak sample", Fig(1, F::kTimeToPeak), 0.05}}},
      {"without merging the dip splits it into two short runs", kDip, NoMerge(), 0, 0, 2, false,
       {}},
      {"a bump below the minimum peak is rejected and counted",
       {0, 0, 2, 6, 10, 6, 2, 0, 0, 0, 0, 2, 3, 4, 3, 2, 0, 0}, {}, 1, 0, 1, false,
       {{"the bump is recovery: no next push", Fig(1, F::kCycleTime), std::nullopt}}},
      {"pushes cut by the record's start and end are partial",
       {3, 6, 2, 0, 0, 0, 0, 2, 6, 10, 6, 2, 0, 0, 0, 0, 2, 6, 8}, {}, 1, 2, 0, false,
       {{"on", Fig(1, F::kOn), 0.15}}},
      {"cycle, recovery and negative work reach to the next push; the last has none",
       kTwoPushes, {}, 2, 0, 0, true,
       {{"cycle", Fig(1, F::kCycleTime), 0.18},
        {"recovery", Fig(1, F::kRecoveryTime), 0.08},
        {"push fraction", Fig(1, F::kPushFraction), 100 * 0.1 / 0.18, 1e-9},
        {"negative work over samples 8..11", Fig(1, F::kNegativeWork), -0.08},
        {"last: cycle", Fig(2, F::kCycleTime), std::nullopt},
        {"steady: only push 2", Count(&S::steady), 1},
        {"one value: mean", Sum(F::kPeakTorque, &FS::mean), 10},
        {"one value: no SD", Sum(F::kPeakTorque, &FS::sd), std::nullopt},
        {"no value: no mean", Sum(F::kCycleTime, &FS::mean), std::nullopt}}},
      {"summary over the steady pushes after skipping the first", kThreePushes, {}, 3, 0, 0, true,
       {{"steady", Count(&S::steady), 2},
        {"peak mean of pushes 2 and 3", Sum(F::kPeakTorque, &FS::mean), 10},
        {"peak SD", Sum(F::kPeakTorque, &FS::sd), std::sqrt(8.0)},
        {"peak CV", Sum(F::kPeakTorque, &FS::cv_pct), 10 * std::sqrt(8.0), 1e-9},
        {"cycle of push 2 alone", Sum(F::kCycleTime, &FS::mean), 0.18},
        {"frequency", [](const WheelPushes& w) { return w.summary.push_frequency_per_min; },
         60 / 0.18, 1e-9},
        {"curve at half time", CurveMean(50), 10, 1e-9},
        {"curve SD at half time", CurveSd(50), std::sqrt(8.0), 1e-9}}},
      {"skipping the last leaves push 2 alone", kThreePushes, WithSkip(1, 1), 3, 0, 0, true,
       {{"steady", Count(&S::steady), 1}, {"peak", Sum(F::kPeakTorque, &FS::mean), 8}}},
      // The onsets of kThreePushes are 0.05, 0.23 and 0.41 s.
      {"the window takes the pushes beginning within it", kThreePushes, Window(0.2, 0.45), 3, 0, 0, true,
       {{"steady", Count(&S::steady), 2},
        {"peak of pushes 2 and 3", Sum(F::kPeakTorque, &FS::mean), 10},
        {"curve SD of pushes 2 and 3", CurveSd(50), std::sqrt(8.0), 1e-9}}},
      {"a window from a time alone", kThreePushes, Window(0.3, std::nullopt), 3, 0, 0, true,
       {{"steady", Count(&S::steady), 1}, {"push 3", Sum(F::kPeakTorque, &FS::mean), 12},
        {"curve of push 3 at half time", CurveMean(50), 12, 1e-9}}},
      {"a window to a time alone", kThreePushes, Window(std::nullopt, 0.2), 3, 0, 0, true,
       {{"steady", Count(&S::steady), 1}, {"push 1", Sum(F::kPeakTorque, &FS::mean), 10}}},
      {"the window and the skips together", kThreePushes, [] {
         PushParameters p = Window(0.0, 0.3);
         p.skip_first = 1;
         return p;
       }(), 3, 0, 0, true,
       {{"steady", Count(&S::steady), 1}, {"push 2", Sum(F::kPeakTorque, &FS::mean), 8}}},
      {"a window between pushes leaves no summary and no curve", kThreePushes,
       Window(0.06, 0.2), 3, 0, 0, false,
       {{"steady", Count(&S::steady), 0},
        {"figures still there", Fig(2, F::kPeakTorque), 8}}},
      {"skipping every push leaves no summary and no curve", kTriangle, {}, 1, 0, 0, false,
       {{"steady", Count(&S::steady), 0}, {"no mean", Sum(F::kPushTime, &FS::mean), std::nullopt}}},
  };
  // clang-format on
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
  // At 20 ms the default merge gap of 50 ms is round(2.5) = 3 samples.
  EXPECT_EQ(DurationSamples(PushParameters{}.merge_gap, 0.02), 3);
}

TEST(PushAnalysis, TheSummaryWindowIsCheckedAndRefusalsNameIt) {
  struct Bound {
    const char* name;
    SummaryBound which;
    const char* text;
    std::optional<double> from, to;  // the window before
    const char* refusal;             // nullptr: taken
    std::optional<double> after;     // the bound afterwards
  };
  const std::vector<Bound> cases = {
      {"a plain number", SummaryBound::kFrom, "60", {}, {}, nullptr, 60.0},
      {"a decimal", SummaryBound::kTo, "180.5", {}, {}, nullptr, 180.5},
      {"blank opens it", SummaryBound::kFrom, " ", 5.0, {}, nullptr, std::nullopt},
      {"not a number", SummaryBound::kFrom, "1 min", {}, {}, "from_s \"1 min\" cannot", {}},
      {"negative",
       SummaryBound::kTo,
       "-3",
       {},
       {},
       "to_s \"-3\" cannot be used: it must be 0 s",
       {}},
      {"to before from",
       SummaryBound::kTo,
       "10",
       20.0,
       {},
       "to_s 10 cannot be used: it must not be before from_s 20",
       {}},
      {"from after to", SummaryBound::kFrom, "30", {}, 20.0, "to_s 20 cannot be used", {}},
      {"equal ends", SummaryBound::kTo, "20", 20.0, {}, nullptr, 20.0},
  };
  for (const Bound& c : cases) {
    SCOPED_TRACE(c.name);
    PushParameters p;
    p.from_s = c.from;
    p.to_s = c.to;
    const PushParameters before = p;
    const Status st = SetSummaryBound(p, c.which, c.text);
    if (c.refusal) {
      ASSERT_FALSE(st.ok());
      EXPECT_NE(st.problem().what.find(c.refusal), std::string::npos) << st.problem().what;
      EXPECT_EQ(p, before);
    } else {
      ASSERT_TRUE(st.ok()) << st.problem().what;
      EXPECT_EQ(c.which == SummaryBound::kFrom ? p.from_s : p.to_s, c.after);
      EXPECT_TRUE(CheckPushParameters(p).ok());
    }
  }
  // A window set in the code is checked like the texts: nothing is computed.
  PushParameters reversed;
  reversed.from_s = 5;
  reversed.to_s = 1;
  EXPECT_FALSE(CheckPushParameters(reversed).ok());
  HandSeries h(kTriangle);
  EXPECT_FALSE(AnalysePushes(*h.s, *h.rec, reversed).ok());
  reversed.to_s = std::numeric_limits<double>::infinity();
  EXPECT_FALSE(CheckPushParameters(reversed).ok());

  // Both ends belong to the window: from push 2's onset to push 3's, exactly.
  HandSeries three(kThreePushes);
  const PushAnalysis all = AnalysePushes(*three.s, *three.rec, WithSkip(0, 0)).value();
  const std::vector<Push>& pushes = all.wheels[0].pushes;
  ASSERT_EQ(pushes.size(), 3U);
  const PushParameters ends =
      Window(pushes[1].Figure(PushFigure::kOn), pushes[2].Figure(PushFigure::kOn));
  EXPECT_EQ(AnalysePushes(*three.s, *three.rec, ends).value().wheels[0].summary.steady, 2);
}

// A push of `length` samples at 10 Nm between two samples of 0, the power 1 within it except
// the given samples, counted from the push's first sample.
struct PowerRecord {
  std::vector<double> torque, power;
  PowerRecord(int length, const std::vector<std::pair<int, double>>& spikes) {
    torque.assign(static_cast<std::size_t>(length) + 4, 0.0);
    power.assign(torque.size(), 0.0);
    for (int j = 0; j < length; ++j) {
      torque.at(static_cast<std::size_t>(j) + 2) = 10;
      power.at(static_cast<std::size_t>(j) + 2) = 1;
    }
    for (const auto& [j, v] : spikes) power.at(static_cast<std::size_t>(j) + 2) = v;
  }
};

TEST(PushAnalysis, NegativeWorkRunsFromThePushsStartToTheNextOnset) {
  // Samples 1..18 of two pushes (3..7 and 12..16); negative power within push 1 counts too.
  std::vector<double> power(kTwoPushes.size(), 0.0);
  const std::vector<std::pair<int, double>> at = {{4, -2}, {6, -4}, {8, -1}, {10, -3}, {12, -5}};
  for (const auto& [i, v] : at) power.at(static_cast<std::size_t>(i - 1)) = v;
  HandSeries h(kTwoPushes, 20, power);
  Result<PushAnalysis> a = AnalysePushes(*h.s, *h.rec, {});
  ASSERT_TRUE(a.ok());
  for (const WheelPushes& w : a.value().wheels) {
    ASSERT_EQ(w.pushes.size(), 2u);
    // (-2 - 4 - 1 - 3) * 0.02 over samples 3..11; sample 12 is push 2's.
    EXPECT_NEAR(*w.pushes[0].Figure(PushFigure::kNegativeWork), -0.2, 1e-12);
  }
}

TEST(PushAnalysis, PeakPowerIsTheLargestMeanOverTwentyMilliseconds) {
  struct Row {
    const char* name;
    double interval_ms;
    PowerRecord rec;
    double min_push;
    double peak_power;
  };
  // clang-format off
  const std::vector<Row> rows = {
      // k = n(0.02 / 0.02) = 1: the largest single power.
      {"20 ms: one sample", 20, PowerRecord(6, {{2, 21}}), 0.1, 21},
      // k = n(0.02 / 0.025) = round(0.8) = 1.
      {"25 ms: one sample", 25, PowerRecord(6, {{2, 21}, {3, -4}}), 0.1, 21},
      // k = 2: windows (1,5) (5,3) (3,7) (7,2) (2,1): means 3, 4, 5, 4.5, 1.5.
      {"10 ms: two samples", 10, PowerRecord(12, {{0, 1}, {1, 5}, {2, 3}, {3, 7}, {4, 2}}), 0.1, 5},
      // k = 20: every window holding the spike sums 19 * 1 + 21 = 40.
      {"1 ms: twenty samples", 1, PowerRecord(120, {{60, 21}}), 0.1, 2},
      // k = 20, a spike at the push's last sample is in one window only.
      {"1 ms: spike at the end", 1, PowerRecord(120, {{119, 41}}), 0.1, 3},
      // k = 4, two spikes three apart share a window: (8 + 1 + 1 + 8) / 4.
      {"5 ms: four samples", 5, PowerRecord(30, {{10, 8}, {13, 8}}), 0.1, 4.5},
      // Eight samples, fewer than k = 20: the mean of all, (1 + 2 + ... + 8) / 8.
      {"1 ms: a push shorter than the window", 1,
       PowerRecord(8, {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {6, 7}, {7, 8}}),
       0.005, 4.5},
  };
  // clang-format on
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    HandSeries h(r.rec.torque, r.interval_ms, r.rec.power);
    PushParameters p;
    p.min_push = r.min_push;
    Result<PushAnalysis> a = AnalysePushes(*h.s, *h.rec, p);
    ASSERT_TRUE(a.ok()) << a.problem().Describe();
    for (const WheelPushes& w : a.value().wheels) {
      ASSERT_EQ(w.pushes.size(), 1u);
      EXPECT_EQ(w.pushes[0].Figure(PushFigure::kPeakPower), r.peak_power);
    }
  }
}

}  // namespace
}  // namespace velquor
