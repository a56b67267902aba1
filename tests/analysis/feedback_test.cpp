// The rules behind feedback to the person pushing: which pushes are shown, the target bands,
// and left pushes paired with right ones.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "analysis/feedback_model.h"
#include "analysis/feedback_schedule.h"
#include "analysis/feedback_targets.h"
#include "analysis/live_feedback.h"
#include "analysis/push_pair_forms.h"
#include "analysis/push_pairs.h"

namespace velquor {
namespace {

// Pushes at the given onsets, each cycle running to the next onset, peak torque 10 + k.
std::vector<Push> PushesAt(const std::vector<double>& onsets) {
  std::vector<Push> out(onsets.size());
  for (std::size_t k = 0; k < onsets.size(); ++k) {
    out[k].number = static_cast<int>(k + 1);
    out[k].figures.at(static_cast<std::size_t>(PushFigure::kOn)) = onsets[k];
    if (k + 1 < onsets.size()) {
      out[k].figures.at(static_cast<std::size_t>(PushFigure::kCycleTime)) =
          onsets[k + 1] - onsets[k];
    }
    out[k].figures.at(static_cast<std::size_t>(PushFigure::kPeakTorque)) =
        10.0 + static_cast<double>(k);
  }
  return out;
}

// A target on `variable` between the band ends written as `low` and `high`.
Target TargetOf(int variable, const std::string& low, const std::string& high, bool tone = false) {
  Target t;
  t.variable = variable;
  t.low = ParseBandEnd(low).value();
  t.high = ParseBandEnd(high).value();
  t.tone = tone;
  return t;
}

TEST(FeedbackSchedule, WhichPushesAreShown) {
  // Faded: shares by minute, and the pushes shown within a minute spread evenly.
  struct ShareRow {
    double minutes, share;
  };
  for (const ShareRow& r :
       std::vector<ShareRow>{{0, 1}, {1, 1}, {3, 0.625}, {5, 0.25}, {12, 0.25}}) {
    EXPECT_DOUBLE_EQ(FadedShare(r.minutes), r.share) << r.minutes << " min";
  }
  FeedbackDecider faded(FeedbackSchedule::kFaded);
  std::string first_minute, after_five;
  for (int k = 0; k < 8; ++k) first_minute += faded.Show(10.0 + k, false) ? 'x' : '.';
  FeedbackDecider late(FeedbackSchedule::kFaded);
  for (int k = 0; k < 12; ++k) after_five += late.Show(400.0 + k, false) ? 'x' : '.';
  EXPECT_EQ(first_minute, "xxxxxxxx");
  EXPECT_EQ(after_five, "...x...x...x");
  // At minute 3 (share 5/8) five pushes in eight are shown, never two missed in a row.
  FeedbackDecider middle(FeedbackSchedule::kFaded);
  std::string third;
  for (int k = 0; k < 16; ++k) third += middle.Show(180.0, false) ? 'x' : '.';
  EXPECT_EQ(third, ".x.xx.xx.x.xx.xx");

  // Out of band only, every push, off.
  struct Row {
    FeedbackSchedule schedule;
    std::string shown;  // for out-of-band flags "ioio"
  };
  for (const Row& r : std::vector<Row>{{FeedbackSchedule::kEveryPush, "xxxx"},
                                       {FeedbackSchedule::kOutOfBand, ".x.x"},
                                       {FeedbackSchedule::kOff, "...."}}) {
    FeedbackDecider d(r.schedule);
    std::string shown;
    for (int k = 0; k < 4; ++k) shown += d.Show(1.0 * k, k % 2 == 1) ? 'x' : '.';
    EXPECT_EQ(shown, r.shown) << ScheduleName(r.schedule);
    EXPECT_EQ(ScheduleByName(ScheduleName(r.schedule)), r.schedule);
  }
  EXPECT_FALSE(ScheduleByName("sometimes"));
}

TEST(FeedbackTargets, BandsAbsoluteAndFromABaseline) {
  Baseline base{};
  base.at(static_cast<std::size_t>(PushFigure::kContactAngle)) = 80.0;
  base.at(kPushFrequencyVariable) = 50.0;
  struct Row {
    std::string variable, low, high;
    std::optional<double> value;
    std::optional<bool> in;  // none: not judged
    std::string refusal;     // part of the message when the band is refused
  };
  const std::vector<Row> rows = {
      {"contact_angle_deg", "+10%", "", 88.0, true, ""},  // the low end itself
      {"contact_angle_deg", "+10%", "", 87.9, false, ""},
      {"push_frequency_per_min", "", "-10 %", 45.0, true, ""},
      {"push_frequency_per_min", "", "-10%", 45.1, false, ""},
      {"peak_torque_Nm", "20", "40.5", 40.5, true, ""},
      {"peak_torque_Nm", "20", "40.5", 19.99, false, ""},
      {"peak_torque_Nm", "20", "", std::nullopt, std::nullopt, ""},
      {"peak_torque_Nm", "+5%", "", 30.0, std::nullopt, "set the baseline first"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.variable + " " + r.low + ".." + r.high);
    const Target t = TargetOf(*FeedbackVariableByName(r.variable), r.low, r.high);
    const Result<Band> band = ResolveBand(t, base);
    if (!r.refusal.empty()) {
      ASSERT_FALSE(band);
      EXPECT_NE(band.problem().what.find(r.refusal), std::string::npos);
      EXPECT_NE(band.problem().what.find("peak_torque_Nm"), std::string::npos);
      continue;
    }
    ASSERT_TRUE(band);
    EXPECT_EQ(InBand(band.value(), r.value), r.in);
  }
  // Texts read back; what is not a number or lacks a sign before "%" is refused.
  for (const std::string text : {"", "12.5", "+10%", "-7.5%", "-3"}) {
    const Result<BandEnd> end = ParseBandEnd(text);
    ASSERT_TRUE(end) << text;
    EXPECT_EQ(ParseBandEnd(BandEndText(end.value())).value(), end.value()) << text;
  }
  for (const std::string text : {"10%", "abc", "+%", "1e999"}) {
    EXPECT_FALSE(ParseBandEnd(text)) << text;
  }
}

TEST(FeedbackTargets, PushFrequencyIsSixtyOverTheLastCycle) {
  const std::vector<Push> pushes = PushesAt({1.0, 2.2, 3.2});
  EXPECT_FALSE(VariableValue(pushes, 0, kPushFrequencyVariable));
  EXPECT_DOUBLE_EQ(*VariableValue(pushes, 1, kPushFrequencyVariable), 60 / (2.2 - 1.0));
  EXPECT_DOUBLE_EQ(*VariableValue(pushes, 2, static_cast<int>(PushFigure::kPeakTorque)), 12.0);
  EXPECT_FALSE(VariableValue(pushes, 3, kPushFrequencyVariable));
}

TEST(PushPairs, NearestOnsetWithinHalfACycleLeavesTheUnmatchedAlone) {
  struct Row {
    std::vector<double> left, right;
    std::string pairs;  // "left-right" for each pair, in the left pushes' order
  };
  const std::vector<Row> rows = {
      {{1.0, 2.0, 3.0}, {1.05, 2.1, 2.95}, "1-1 2-2 3-3"},
      // a right push with no left one near, and a left one with no right one
      {{1.0, 2.0, 3.0}, {1.0, 1.45, 3.02}, "1-1 3-3"},
      // the last left push has no cycle: half a second is the reach
      {{1.0, 3.0}, {1.0, 3.49}, "1-1 2-2"},
      {{1.0, 3.0}, {1.0, 3.5}, "1-1"},
      // two right pushes equally near: the earlier; a right push pairs once only
      {{2.0, 3.0}, {1.75, 2.25, 3.0}, "1-1 2-3"},
      {{}, {1.0}, ""},
  };
  for (const Row& r : rows) {
    PushAnalysis a;
    a.parameters.skip_first = 0;
    a.wheels[0].pushes = PushesAt(r.left);
    a.wheels[1].pushes = PushesAt(r.right);
    const PushPairs pairs = PairPushes(a);
    std::string got;
    for (const PushPair& p : pairs.pairs) {
      got += (got.empty() ? "" : " ") + std::to_string(p.left) + "-" + std::to_string(p.right);
    }
    EXPECT_EQ(got, r.pairs) << ::testing::PrintToString(r.left);
  }
}

TEST(PushPairs, LagSymmetryAndTheirSummaryOverSteadyLeftPushes) {
  PushAnalysis a;  // skip_first = 1: the first left push is not steady
  a.wheels[0].pushes = PushesAt({1.0, 2.0, 3.0});
  a.wheels[1].pushes = PushesAt({1.01, 2.02, 3.04});
  a.wheels[1].pushes[2].figures.at(static_cast<std::size_t>(PushFigure::kPeakTorque)) = 15.0;
  const PushPairs pairs = PairPushes(a);
  ASSERT_EQ(pairs.pairs.size(), 3u);
  EXPECT_NEAR(pairs.pairs[2].lag_ms, 40, 1e-9);
  // peak torque 12 left, 15 right: 100 * 3 / 13.5
  EXPECT_DOUBLE_EQ(*pairs.pairs[2].Si(PushFigure::kPeakTorque), 100 * 3.0 / 13.5);
  EXPECT_DOUBLE_EQ(*pairs.pairs[0].Si(PushFigure::kPeakTorque), 0.0);
  EXPECT_FALSE(pairs.pairs[0].Si(PushFigure::kOn));
  EXPECT_FALSE(pairs.pairs[0].Si(PushFigure::kContactAngle));  // empty on both sides
  EXPECT_EQ(pairs.summary.steady, 2);
  EXPECT_NEAR(*pairs.summary.lag_ms.mean, 30, 1e-9);  // pairs 2 and 3 only
  EXPECT_NEAR(*pairs.summary.lag_ms.sd, std::sqrt(200.0), 1e-9);
  EXPECT_FALSE(SymmetryIndex(2.0, -2.0));

  const std::string csv = PairsCsv("a,b_dat.csv", pairs);
  EXPECT_EQ(csv.substr(0, csv.find('\n')),
            "file,left,right,lag_ms,si_push_time_s,si_cycle_time_s,si_recovery_time_s,"
            "si_push_fraction_pct,si_contact_angle_deg,si_peak_torque_Nm,si_time_to_peak_s,"
            "si_mean_torque_Nm,si_rate_of_rise_Nm_per_s,si_smoothness,si_peak_power_W,"
            "si_mean_power_W,si_push_work_J,si_negative_work_J,si_mean_speed_m_per_s");
  EXPECT_NE(csv.find("\n\"a,b_dat.csv\",3,3,"), std::string::npos);
}

TEST(FeedbackModel, AShownPushMovesItsCellsAndAHiddenOneOnlyCounts) {
  FeedbackSettings s;
  s.schedule = FeedbackSchedule::kOutOfBand;
  s.targets = {TargetOf(static_cast<int>(PushFigure::kPeakTorque), "", "+10%", true),
               TargetOf(kPushFrequencyVariable, "40", "")};
  std::array<Baseline, 2> base{};
  base[0].at(static_cast<std::size_t>(PushFigure::kPeakTorque)) = 10.0;  // right: none
  FeedbackModel model(s, base);
  ASSERT_EQ(model.Problems().size(), 1u);  // the right wheel's relative band
  EXPECT_NE(model.Problems()[0].what.find("right wheel: peak_torque_Nm"), std::string::npos);

  const std::vector<Push> pushes = PushesAt({1.0, 2.0, 3.0, 4.0});  // peaks 10..13, 60/min
  // Push 1 (peak 10, below 10 * 1.1) is in band: not shown under "out of band".
  FeedbackGiven g = model.Final(0, pushes, 0);
  EXPECT_FALSE(g.shown);
  EXPECT_FALSE(g.tone);
  EXPECT_FALSE(model.Cell(0, 0).value);
  g = model.Final(0, pushes, 2);  // peak 12, above 11
  EXPECT_TRUE(g.shown);
  EXPECT_TRUE(g.tone);
  EXPECT_EQ(g.in_band, (std::vector<std::optional<bool>>{false, true}));
  EXPECT_EQ(model.Cell(0, 0).value, 12.0);
  EXPECT_EQ(model.Cell(0, 0).in_band, false);
  EXPECT_EQ(model.Cell(0, 1).value, 60.0);
  EXPECT_EQ(model.Cell(0, 0).strip.size(), 1u);

  model.Paired(pushes, 2, PushesAt({1.0, 2.0, 3.0}), 2);  // right push 3: peak 12
  EXPECT_EQ(model.Cell(1, 0).symmetry, 0.0);
  EXPECT_EQ(model.Cell(1, 1).symmetry, 0.0);  // both at 60 per minute
}

TEST(LiveFeedback, PushesArrivingOneByOnePairAsTheWholeTrialWould) {
  // Pushes of both wheels handed over as they become final, each push's cycle figures when
  // the next push is final: the pairs made on the way are those of the whole list.
  const std::vector<Push> left = PushesAt({1.0, 2.0, 3.0, 4.0});
  const std::vector<Push> right = PushesAt({1.02, 1.45, 3.01, 3.98});
  LiveFeedback live(DefaultFeedbackSettings(), {});
  std::vector<std::pair<int, int>> live_pairs;
  const auto give = [&](int wheel, const std::vector<Push>& pushes, std::size_t k) {
    Push now = pushes[k];
    now.figures.at(static_cast<std::size_t>(PushFigure::kCycleTime)).reset();
    if (k > 0) live.CycleFigures(wheel, pushes[k - 1]);
    const LiveFeedbackOutcome out = live.Final(wheel, now);
    if (out.partner) {
      live_pairs.emplace_back(wheel == 0 ? now.number : *out.partner,
                              wheel == 0 ? *out.partner : now.number);
      EXPECT_EQ(out.symmetry.size(), 4u);
    }
  };
  for (std::size_t k = 0; k < 4; ++k) {
    give(1, right, k);
    give(0, left, k);
  }
  PushAnalysis whole;
  whole.wheels[0].pushes = left;
  whole.wheels[1].pushes = right;
  std::vector<std::pair<int, int>> whole_pairs;
  for (const PushPair& p : PairPushes(whole).pairs) whole_pairs.emplace_back(p.left, p.right);
  EXPECT_EQ(live_pairs, whole_pairs);
  EXPECT_EQ(live.Given().size(), 8u);
  // The push frequency of push 2 came from push 1's cycle, given when push 2 was final.
  EXPECT_DOUBLE_EQ(*live.Model().Cell(0, 0).value, 60.0);
  EXPECT_EQ(live.Pushes(0).at(2).Figure(PushFigure::kCycleTime), 1.0);
}

TEST(FeedbackModel, SettingsAreChecked) {
  FeedbackSettings s = DefaultFeedbackSettings();
  EXPECT_TRUE(CheckFeedbackSettings(s));
  EXPECT_EQ(s.targets.size(), 4u);
  s.targets.push_back(Target{});
  EXPECT_NE(CheckFeedbackSettings(s).problem().what.find("at most 4"), std::string::npos);
  s.targets.resize(2);
  s.targets[1].variable = s.targets[0].variable;
  EXPECT_NE(CheckFeedbackSettings(s).problem().what.find("push_frequency_per_min is chosen twice"),
            std::string::npos);
}

}  // namespace
}  // namespace velquor
