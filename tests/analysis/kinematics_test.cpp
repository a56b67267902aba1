#include "analysis/kinematics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "analysis/hand_record.h"

namespace velquor {
namespace {

using hand::Bench;

constexpr double kW = 0.505;
// Metres a wheel rolls for `counts` encoder counts, with the rounded pi the results use.
double Metres(double counts) {
  return 0.31 * counts * 360 / 2000 * 3.14159 / 180;
}

Status Analyse(Bench& b, const Calibration& cal = {}, bool shift = false) {
  return CalcKinematics(*b.rec, cal, shift, *b.s, b.kin);
}

TEST(Kinematics, EncoderStepsWrapAroundAndTheLeftCountsBackwards) {
  struct Case {
    int ch, from, to;
    float angle;  // Angle_deg(ch, 2)
  };
  const Case cases[] = {
      {0, 4090, 5, -1.98f},  // wrapped: +11 counts, the left wheel's angle falls
      {1, 4090, 5, 1.98f},  {1, 500, 0, -90.0f},       {1, 0, 501, -647.1f},  // 501 - 4096
      {1, 501, 0, 647.1f},  {1, 3595, 0, 0.18f * 501},
  };
  for (const auto& c : cases) {
    Bench b(2);
    b.Counts(c.ch, c.from, {c.to - c.from});
    b.rec->Encoder(c.ch, 2) = static_cast<float>(c.to);
    ASSERT_TRUE(Analyse(b));
    EXPECT_FLOAT_EQ(b.s->Angle_deg(c.ch, 2), c.angle) << c.from << " -> " << c.to;
    EXPECT_EQ(b.s->Angle_deg(1 - c.ch, 2), 0.0f);
  }
}

TEST(Kinematics, TheChairTurnsAndMovesAsItsWheelsRoll) {
  struct Case {
    const char* name;
    int left, right;  // counts each wheel rolls forwards per step
    bool straight;
    double centre_y;  // otherwise the centre runs on a circle about (0, centre_y)
  };
  const Case cases[] = {
      {"straight", 100, 100, true, 0},
      {"right wheel only: pivot about the left wheel", 0, 100, false, kW / 2},
      {"spin on the spot", -50, 50, false, 0},
      {"left curve", 60, 100, false, 1.01},
      {"backwards curve", -100, -60, false, -1.01},
  };
  constexpr int kN = 12;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Bench b(kN);
    b.Counts(0, 2000, {-c.left});
    b.Counts(1, 2000, {c.right});
    ASSERT_TRUE(Analyse(b));
    const auto& s = *b.s;
    const double dL = Metres(c.left), dR = Metres(c.right);
    for (int i = 2; i <= kN; ++i) {
      EXPECT_NEAR(s.Distance(2, i), (i - 1) * (dL + dR) / 2, 1e-5);
      EXPECT_NEAR(s.Alpha_deg(i), (i - 1) * (dR - dL) / kW * 180 / 3.14159, 1e-4);
      EXPECT_NEAR(s.Beta_deg(i), (dR - dL) / kW / 0.02 * 180 / 3.14159, 1e-2);
      if (c.straight) {
        EXPECT_EQ(s.y(i), 0.0f);
        EXPECT_NEAR(s.x(i), s.Distance(2, i), 1e-6);
      } else {
        EXPECT_NEAR(std::hypot(s.x(i), s.y(i) - c.centre_y), std::fabs(c.centre_y), 1e-5);
      }
    }
  }
}

TEST(Kinematics, WholeRecordResults) {
  Bench b(5);
  Calibration cal;
  cal.Ka1 = {20, 10};
  cal.Ka0 = {0.5, -0.25};
  const float volts[] = {5.0f, 0.1f, 0.2f, 0.3f, 0.4f};  // sample 1 is not a step
  for (int i = 1; i <= 5; ++i) {
    b.rec->Volt(0, i) = volts[i - 1];
    b.rec->Volt(1, i) = volts[i - 1];
  }
  b.Counts(0, 100, {-100});
  b.Counts(1, 100, {100});
  b.rec->MeasTime = 8;  // the mean speeds divide by this, not by the time of the steps

  ASSERT_TRUE(Analyse(b, cal));
  EXPECT_FLOAT_EQ(b.s->Torque(0, 1), 100.5f);
  EXPECT_FLOAT_EQ(b.kin.TqMax[0], 8.5f);
  EXPECT_EQ(b.kin.TqMin[0], 0.0f);  // every torque positive: the minimum stays at 0
  EXPECT_FLOAT_EQ(b.kin.TqAv[0], 5.5f);
  EXPECT_FLOAT_EQ(b.kin.TqAv[1], 2.25f);
  for (int ch = 0; ch < 2; ++ch) {
    EXPECT_NEAR(b.kin.SpeedAv[ch], Metres(400) / 8, 1e-6);
    EXPECT_NEAR(b.kin.SpeedMax[ch], Metres(100) / 0.02, 1e-4);
    EXPECT_EQ(b.kin.SpeedMin[ch], 0.0f);
  }
  EXPECT_NEAR(b.kin.DistAvMax, Metres(400), 1e-6);

  ASSERT_TRUE(Analyse(b, cal, true));  // "Shift": no calibration offset
  EXPECT_FLOAT_EQ(b.s->Torque(0, 1), 100.0f);
  EXPECT_FLOAT_EQ(b.s->Torque(0, 3), 4.0f);
  EXPECT_FLOAT_EQ(b.kin.TqAv[1], 2.5f);
}

// Sample 1 is the origin whatever an earlier measurement left in the series; the samples
// after the record are left alone.
TEST(Kinematics, SampleOneIsTheOrigin) {
  Bench b(5);
  b.s->Speed.Fill(99);
  b.s->Distance.Fill(99);
  b.s->Beta_deg.Fill(99);
  b.s->x.Fill(99);
  ASSERT_TRUE(Analyse(b));
  for (int row = 0; row < 3; ++row) {
    EXPECT_EQ(b.s->Speed(row, 1), 0.0f);
    EXPECT_EQ(b.s->Distance(row, 1), 0.0f);
  }
  EXPECT_EQ(b.s->Beta_deg(1), 0.0f);
  EXPECT_EQ(b.s->x(1), 0.0);
  EXPECT_EQ(b.s->Speed(2, 6), 99.0f);
}

TEST(Kinematics, RefusesWhatCannotBeAnalysedAndTouchesNothing) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    float num;
    double interval, time;
    const char* named;  // empty when the record can be analysed
  };
  const Case cases[] = {
      {1, 20, 0.02, "Data Number 1"},
      {2.5f, 20, 0.05, "Data Number 2.5"},
      {100, 0, 2, "Timer Interval 0"},
      {100, 1e-322, 2, "Timer Interval"},  // its seconds underflow to 0
      {100, 20, inf, "Sampling Time"},
      {2000, 20, 40, ""},
      {2, 0.5, 0.001, ""},  // an interval read back from a file need not be whole
  };
  for (const auto& c : cases) {
    Bench b(2);
    b.Counts(1, 0, {10});
    b.rec->DataNum = c.num;
    b.rec->SampInterval = c.interval;
    b.rec->MeasTime = c.time;
    b.s->Torque.Fill(7);
    b.kin.TqMax = {7, 7};
    // Called directly: clang 14 crashes on "Status st = Analyse(b)" at this point.
    const Status st = CalcKinematics(*b.rec, {}, false, *b.s, b.kin);
    ASSERT_EQ(st.ok(), *c.named == '\0') << c.named;
    if (!st) {
      EXPECT_NE(st.problem().what.find(c.named), std::string::npos) << st.problem().what;
      EXPECT_EQ(b.s->Torque(0, 1), 7.0f);
      EXPECT_EQ(b.kin.TqMax[0], 7.0f);
    } else {
      EXPECT_GT(b.s->Speed(1, 2), 0.0f);
    }
  }
}

TEST(Kinematics, AStepLostInTheOtherWheelsRoundingStillTurnsTheChair) {
  Bench b(2);
  b.rec->Encoder(0, 2) = 500;     // the left wheel rolls back a quarter turn
  b.rec->Encoder(1, 2) = 1e-30f;  // the right one by nothing a count could show
  ASSERT_TRUE(Analyse(b));
  EXPECT_NEAR(b.s->Alpha_rad(2), Metres(500) / kW, 1e-6);
  EXPECT_TRUE(std::isfinite(b.s->x(2)));
  EXPECT_TRUE(std::isfinite(b.s->y(2)));
}

}  // namespace
}  // namespace velquor
