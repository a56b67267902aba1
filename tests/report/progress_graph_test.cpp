// The progress graph's maths and what it draws: round axis ends, where sessions and wheels
// stand, and marks filled exactly where a change is beyond the MDC, with the band only where
// one is set.
#include "report/progress_graph.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace velquor {
namespace {

TEST(ProgressGraph, AxisEndsAreRoundAndHoldTheRange) {
  struct Case {
    double low, high;
    AxisRange expected;
  };
  const std::vector<Case> cases = {
      {0, 10, {0, 10, 2}},
      {28.3, 41.7, {28, 42, 2}},
      {5, 5, {4.4, 5.6, 0.2}},
      {0, 0, {-1, 1, 0.5}},
      {-3.2, 7.9, {-4, 8, 2}},
      {41.7, 28.3, {28, 42, 2}},
      {0.012, 0.019, {0.012, 0.019, 0.001}},
      {60 - 1e-14, 60 + 1e-14, {54, 66, 2}},
  };
  for (const Case& c : cases) {
    const AxisRange r = RoundAxis(c.low, c.high);
    EXPECT_NEAR(r.low, c.expected.low, 1e-12) << c.low << " " << c.high;
    EXPECT_NEAR(r.high, c.expected.high, 1e-12) << c.low << " " << c.high;
    EXPECT_NEAR(r.step, c.expected.step, 1e-12) << c.low << " " << c.high;
    EXPECT_LE(std::lround((r.high - r.low) / r.step), 8);
  }
  EXPECT_DOUBLE_EQ(SessionX(0, 0), 1 - kWheelOffset);
  EXPECT_DOUBLE_EQ(SessionX(19, 1), 20 + kWheelOffset);
  // 3.5 px on an area of 520 px: the same size whatever the number of sessions.
  EXPECT_DOUBLE_EQ(MarkRadius(20, 520, 3.5) * 520 / 20, 3.5);
  EXPECT_DOUBLE_EQ(MarkRadius(2, 520, 3.5) * 520 / 2, 3.5);
}

// Three sessions of one figure: the left wheel 10, 10.5, 14 (SD 1); the right wheel without a
// value in the second.
ProgressFigures ThreeSessions(std::optional<double> mdc) {
  ProgressFigures p;
  p.figures = {"peak_torque_Nm"};
  const std::array<std::array<std::optional<double>, 2>, 3> means = {
      {{10, 20}, {10.5, std::nullopt}, {14, 21}}};
  for (std::size_t s = 0; s < 3; ++s) {
    SessionProgress sp;
    sp.session = std::to_string(s + 1);
    std::array<WheelFigure, 2> wheels{};
    for (std::size_t w = 0; w < 2; ++w) {
      const auto& m = means.at(s).at(w);
      if (!m) continue;
      wheels.at(w).pooled = {5, m, 1.0};
      const double ref = *means.at(0).at(w);
      wheels.at(w).judgement = s == 0 ? Judgement::kReference : Judge(ref, *m, mdc);
    }
    sp.figures.push_back(wheels);
    p.sessions.push_back(sp);
  }
  return p;
}

struct Mark {
  float x, y;
  Rgb fill;
};

std::vector<Mark> Marks(const RecordingCanvas& c) {
  std::vector<Mark> marks;
  CanvasState st = c.initial();
  for (const CanvasCommand& cmd : c.commands()) {
    if (const auto* circle = std::get_if<CircleCmd>(&cmd)) {
      marks.push_back({circle->x, circle->y, st.fillColour});
    }
    st.Apply(cmd);
  }
  return marks;
}

bool HasLevelLine(const RecordingCanvas& c, float y, float from, float to) {
  for (const CanvasCommand& cmd : c.commands()) {
    const auto* l = std::get_if<LineCmd>(&cmd);
    if (l && l->y1 == y && l->y2 == y && l->x1 == from && l->x2 == to) return true;
  }
  return false;
}

TEST(ProgressGraph, MarksFilledBeyondTheMdcAndTheBandOnlyWhereSet) {
  const std::array<Rgb, 3> colours = kDefaultGraphColor;
  struct Case {
    std::optional<double> mdc;
    std::string ymin, ymax;
    std::size_t filled;  // marks beyond
    bool band;
  };
  for (const Case& c : {Case{2.0, "8", "22", 1, true}, Case{std::nullopt, "8", "22", 0, false}}) {
    RecordingFrame f;
    DrawProgressGraph(f.frame, ThreeSessions(c.mdc), 0, c.mdc, "Peak (Nm)", colours);
    EXPECT_EQ(f.frame.Text(AxisText::kYmin), c.ymin);
    EXPECT_EQ(f.frame.Text(AxisText::kYmax), c.ymax);
    for (const AxisText t : {AxisText::kXmin, AxisText::kXmax, AxisText::kXaxis}) {
      EXPECT_EQ(f.frame.Text(t), "");  // the session labels take their place
    }
    EXPECT_EQ(f.canvas.initial().scale, (PlotScale{0.5f, 22.0f, 3.0f, -14.0f}));
    const std::vector<Mark> marks = Marks(f.canvas);
    ASSERT_EQ(marks.size(), 5u);  // none where a wheel has no value
    std::size_t filled = 0;
    for (const Mark& m : marks) {
      if (m.fill == kWhite) continue;
      ++filled;
      // Only the third session is beyond 2 of its first: 14 against 10, and 21 against 20
      // is within.
      EXPECT_EQ(m.x, static_cast<float>(SessionX(2, 0)));
      EXPECT_EQ(m.y, 14.0f);
      EXPECT_EQ(m.fill, colours[0]);
    }
    EXPECT_EQ(filled, c.filled);
    // The reference line of each wheel, and the band's edges around the left one.
    EXPECT_TRUE(HasLevelLine(f.canvas, 10, 0.5f, 3.5f));
    EXPECT_TRUE(HasLevelLine(f.canvas, 20, 0.5f, 3.5f));
    EXPECT_EQ(HasLevelLine(f.canvas, 12, 0.5f, 3.5f), c.band);
    EXPECT_EQ(HasLevelLine(f.canvas, 8, 0.5f, 3.5f), c.band);
  }
  const std::vector<AxisLabel> labels = SessionLabels(ThreeSessions(std::nullopt));
  ASSERT_EQ(labels.size(), 3u);
  EXPECT_EQ(labels[2].x, 3.0);
  EXPECT_EQ(labels[2].text, "3");
}

}  // namespace
}  // namespace velquor
