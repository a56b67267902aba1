#include "analysis/strokes.h"

#include <gtest/gtest.h>

#include <vector>

#include "analysis/hand_record.h"

namespace velquor {
namespace {

using hand::Bench;

struct Push {
  int from, to;
  float torque = 10;
};

// Torque 0 outside the pushes, 100 samples at 20 ms.
void SetTorque(Bench& b, int ch, const std::vector<Push>& pushes) {
  for (int i = 1; i <= 100; ++i) b.s->Torque(ch, i) = 0;
  for (const Push& p : pushes) {
    for (int i = p.from; i <= p.to; ++i) b.s->Torque(ch, i) = p.torque;
  }
}

TEST(Strokes, OnsetsAreFoundInTheJudgedTorqueAfterTheStartTime) {
  const std::vector<Push> four = {{10, 15}, {30, 35}, {50, 55}, {70, 75}, {90, 95}};
  const std::vector<Push> three = {{20, 25}, {40, 45}, {60, 65}};
  struct Case {
    const char* name;
    std::vector<Push> ch0, ch1;
    std::array<float, 2> tq_max;
    JudgeChannel channel;
    double start;
    int count;
    std::array<int, 5> idx;
  };
  using JC = JudgeChannel;
  // clang-format off
  const Case cases[] = {
      {"four onsets, three strokes", four, {}, {10, 0}, JC::kAuto, 0, 3, {0, 10, 30, 50, 70}},
      {"start after the last sample", four, {}, {10, 0}, JC::kAuto, 2.5, 0, {}},
      {"two onsets, one stroke", {{10, 15}, {30, 35}}, {}, {10, 0}, JC::kCh0, 0, 1,
       {0, 10, 30, 0, 0}},
      {"a push under way at the start is not an onset",
       {{15, 25}, {40, 45}, {60, 65}, {80, 85}}, {}, {10, 0}, JC::kCh0, 0.4, 2,
       {0, 40, 60, 80, 0}},
      {"torque equal to the limit neither ends nor starts a push",
       {{10, 25}, {16, 20, 2}, {40, 45}, {50, 55, 2}, {60, 65}}, {}, {10, 0}, JC::kCh0, 0, 2,
       {0, 10, 40, 60, 0}},
      {"Auto with equal maxima judges channel 0", {{10, 15}, {30, 35}}, three, {10, 10},
       JC::kAuto, 0, 1, {0, 10, 30, 0, 0}},
      {"Auto follows the larger maximum", {{10, 15}, {30, 35}}, three, {10, 12}, JC::kAuto, 0,
       2, {0, 20, 40, 60, 0}},
      {"a chosen channel is judged whatever the maxima", {{10, 15}, {30, 35}}, three, {12, 10},
       JC::kCh1, 0, 2, {0, 20, 40, 60, 0}},
  };
  // clang-format on

  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Bench b(100);
    SetTorque(b, 0, c.ch0);
    SetTorque(b, 1, c.ch1);
    b.kin.TqMax = c.tq_max;
    StrokeResults out;
    ASSERT_TRUE(CalcStrokes({c.start, 2.0f, c.channel}, *b.rec, *b.s, b.kin, out));
    EXPECT_EQ(out.StrokeCount, c.count);
    for (std::size_t n = 1; n <= 4; ++n) {
      EXPECT_EQ(out.StrokeIdx[n], c.idx[n]) << "onset " << n;
      EXPECT_FLOAT_EQ(out.StrokeTime[n], c.idx[n] * 0.02f) << "onset " << n;
    }
    for (int k = 1; k <= 3; ++k) EXPECT_EQ(out.StTime[k] != 0, k <= c.count) << "stroke " << k;
  }
}

TEST(Strokes, StatisticsRunFromOneOnsetToTheNextBothIncluded) {
  Bench b(150);
  DerivedSeries& s = *b.s;
  for (int i = 1; i <= 150; ++i) {
    s.Torque(0, i) = (i >= 50 && i <= 60) || (i >= 100 && i <= 110) ? 10 : 0;
    s.Torque(1, i) = 0;
    s.Speed(2, i) = 1;
    s.Power(0, i) = i < 100 ? (i % 2 == 0 ? 1.0f : -1.0f) : 0;  // averages to exactly 0
    s.Power(1, i) = 3;
    s.Distance(2, i) = i <= 50 ? 1.0f : 1.9738929f;
  }
  s.Speed(2, 49) = s.Speed(2, 101) = 5;  // outside the stroke
  s.Speed(2, 50) = 2;
  s.Speed(2, 100) = 0.5f;
  s.Alpha_deg(75) = 10.123456789012;
  s.Alpha_deg(60) = -1.5;
  s.Alpha_deg(101) = -50;
  s.Beta_deg(50) = 30;
  s.Beta_deg(100) = -20;
  s.y(70) = 0.0123f;
  s.y(80) = -0.002f;
  b.kin.TqMax = {10, 0};

  StrokeResults out;
  out.StTime = {9, 9, 9, 9};
  out.StdTq[2] = {9, 9};
  ASSERT_TRUE(CalcStrokes({0, 2.0f, JudgeChannel::kAuto}, *b.rec, s, b.kin, out));
  ASSERT_EQ(out.StrokeCount, 1);
  EXPECT_EQ(out.StTime[1], 1.0f);  // onsets 50 and 100 at 20 ms
  EXPECT_EQ(out.StTime[2], 0.0f);
  EXPECT_EQ(out.StdTq[2][0], 0.0f);

  EXPECT_EQ(out.StSpeedMax[1], 2.0f);
  EXPECT_NEAR(out.StSpeedAv[1], 51.5 / 50, 1e-6);  // 51 samples over 50 steps
  EXPECT_NEAR(out.StdSpeed[1], 1.5 / 1.03, 1e-5);
  EXPECT_NEAR(out.StTqAv[1][0], 120.0 / 50, 1e-6);
  EXPECT_NEAR(out.StdTq[1][0], 10 / 2.4, 1e-5);
  EXPECT_EQ(out.StdTq[1][1], 0.0f);  // mean and range 0
  EXPECT_EQ(out.StPowerAv[1][0], 0.0f);
  EXPECT_EQ(out.StdPower[1][0], 0.0f);           // range 2 over a mean of 0
  EXPECT_NEAR(out.StPowerAv[1][1], 3.06, 1e-5);  // 51 single-precision sums

  EXPECT_EQ(out.StAlphaMax[1], 10.123456789012);  // kept as a double
  EXPECT_NEAR(out.StAlphaDef[1], 11.623456789012, 1e-12);
  EXPECT_NEAR(out.StYDef[1], 0.0143, 1e-7);
  EXPECT_NEAR(out.StDis[1], 0.9738929, 1e-6);
  EXPECT_NEAR(out.StAngle[1], 180.0, 1e-4);  // a distance of half a wheel turn
}

}  // namespace
}  // namespace velquor
