#include "plot/main_graphs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "plot/graph_inputs.h"

namespace velquor {
namespace {

using testing::GraphInputs;
using testing::kCh0;
using testing::kCh1;
using testing::KindsOf;
using testing::kOther;
using testing::LinesIn;

using A = AxisText;

TEST(MainGraphs, AxisEndsFollowTheExtremes) {
  struct Case {
    const char* name;
    int graph;
    KinematicsResults kin;
    const char *xmin, *xmax, *ymin, *ymax;
  };
  using K = KinematicsResults;
  const Case cases[] = {
      {"torque 23, -3", kTorqueGraph, K{.TqMax = {23, 5}, .TqMin = {0, -3}}, "0", "0.4", "-10",
       "30"},
      {"torque exact tens", kTorqueGraph, K{.TqMax = {20, 0}, .TqMin = {-20, 0}}, "0", "0.4", "-20",
       "30"},
      {"torque -12.5 ch0, 37 ch1", kTorqueGraph, K{.TqMax = {0, 37}, .TqMin = {-12.5f, 0}}, "0",
       "0.4", "-20", "40"},
      {"speed forward only", kSpeedGraph, K{.SpeedMax = {1.4f, 1.1f}}, "0", "0.4", "0", "2"},
      {"speed one backward sample", kSpeedGraph,
       K{.SpeedMax = {1.4f, 1.1f}, .SpeedMin = {0, -0.01f}}, "0", "0.4", "-0.2", "2"},
      {"speed on a whole unit", kSpeedGraph, K{.SpeedMax = {0, 2}}, "0", "0.4", "0", "3"},
      {"distance", kDistanceGraph, K{.DistAvMax = 2.3f, .DistAvMin = -2.3f}, "0", "0.4", "-4", "3"},
      {"no turn", kTurnGraph, K{}, "0", "0.4", "-10", "10"},
      {"turn mostly right", kTurnGraph, K{.AlphaMax = 12, .AlphaMin = -35}, "0", "0.4", "-50",
       "50"},
      {"turn mostly left", kTurnGraph, K{.AlphaMax = 35, .AlphaMin = -12}, "0", "0.4", "-40", "40"},
      {"turning rate", kTurnRateGraph, K{.BetaMax = 95, .BetaMin = -0.4f}, "0", "0.4", "-100",
       "100"},
      {"straight run", kPathGraph, K{.xMax = 4.2}, "1", "-1", "0", "5"},
      {"path drifting right", kPathGraph, K{.xMin = -0.5, .yMax = 0.3f, .yMin = -1.5f}, "3", "-3",
       "-1", "1"},
      {"path drifting left", kPathGraph, K{.yMax = 1.5f, .yMin = -0.2f}, "2", "-2", "0", "1"},
      {"power", kPowerGraph, K{.PowerMax = {45, 60}, .PowerMin = {-5, -12}}, "0", "0.4", "-20",
       "70"},
  };
  for (const auto& c : cases) {
    auto in = GraphInputs::Ramp(20);
    in->kin = c.kin;
    in->DrawAll();
    EXPECT_EQ(in->Text(c.graph, A::kXmin), c.xmin) << c.name;
    EXPECT_EQ(in->Text(c.graph, A::kXmax), c.xmax) << c.name;
    EXPECT_EQ(in->Text(c.graph, A::kYmin), c.ymin) << c.name;
    EXPECT_EQ(in->Text(c.graph, A::kYmax), c.ymax) << c.name;
  }
}

TEST(MainGraphs, ScaleComesFromTheTextsAsReadBack) {
  auto in = GraphInputs::Ramp(20);  // 0.4 s
  in->kin = {.SpeedMin = {-0.5f, 0}, .xMax = 3.5};
  in->DrawAll();
  // Speed from "-0.2" to "1", Y upwards; the path with +1 on the left and -1 on the right.
  EXPECT_EQ(in->Canvas(kSpeedGraph).initial().scale, (PlotScale{0, 1, 0.4f, -1.2f}));
  EXPECT_EQ(in->Canvas(kPathGraph).initial().scale, (PlotScale{1, 4, -2, -4}));
}

TEST(MainGraphs, TwoSamplesDrawOneStepExceptOnTheSpeedGraph) {
  struct Case {
    int graph;
    const char *xaxis, *yaxis;
    int greyLines;
    int traceSegments;
  };
  const Case cases[] = {
      {kTorqueGraph, "Time (sec)", "Torque (Nm)", 1, 2},
      {kSpeedGraph, "Time (sec)", "Speed (m/s)", 1, 0},
      {kDistanceGraph, "Time (sec)", "Distance (m)", 1, 2},
      {kTurnGraph, "Time (sec)", "Turn (deg)", 1, 1},
      {kTurnRateGraph, "Time (sec)", "Turn (deg/s)", 1, 1},
      {kPathGraph, "Distance (m)", "Distance (m)", 2, 1},
      {kPowerGraph, "Time (sec)", "Power (W)", 1, 2},
  };
  auto in = GraphInputs::Ramp(2);
  in->DrawAll();
  for (const auto& c : cases) {
    const auto& canvas = in->Canvas(c.graph);
    EXPECT_EQ(in->Text(c.graph, A::kXaxis), c.xaxis) << c.graph;
    EXPECT_EQ(in->Text(c.graph, A::kYaxis), c.yaxis) << c.graph;
    EXPECT_EQ(LinesIn(canvas, kReferenceGrey).size(), static_cast<std::size_t>(c.greyLines))
        << c.graph;
    const auto traces = LinesIn(canvas, kCh0).size() + LinesIn(canvas, kCh1).size() +
                        LinesIn(canvas, kOther).size();
    EXPECT_EQ(traces, static_cast<std::size_t>(c.traceSegments)) << c.graph;
  }
}

TEST(MainGraphs, ReferenceLinesThenThickTracesStepByStep) {
  struct Case {
    int graph;
    std::vector<std::string> kinds;
  };
  const Case cases[] = {
      {kTorqueGraph, {"grey", "pen3", "ch0", "ch1", "ch0", "ch1", "ch0", "ch1", "pen1"}},
      {kSpeedGraph, {"grey", "pen3", "ch0", "ch1", "ch0", "ch1", "pen1"}},
      {kTurnGraph, {"grey", "pen3", "other", "other", "other", "pen1"}},
      {kPathGraph, {"grey", "grey", "pen3", "other", "other", "other", "pen1"}},
      {kPowerGraph, {"grey", "pen3", "ch0", "ch1", "ch0", "ch1", "ch0", "ch1", "pen1"}},
  };
  auto in = GraphInputs::Ramp(4);
  in->DrawAll();
  for (const auto& c : cases) EXPECT_EQ(KindsOf(in->Canvas(c.graph)), c.kinds) << c.graph;
}

TEST(MainGraphs, SegmentsJoinNeighbouringSamples) {
  auto in = GraphInputs::Ramp(5);
  in->kin.yMax = 0.4f;
  in->DrawAll();
  const auto& s = in->series;
  // Torque: step 2 joins sample 1 at 0.02 s to sample 2 at 0.04 s, channel by channel.
  const auto torque0 = LinesIn(in->Canvas(kTorqueGraph), kCh0);
  ASSERT_EQ(torque0.size(), 4u);
  EXPECT_EQ(torque0[0], (LineCmd{0.02f, s.Torque(0, 1), 0.04f, s.Torque(0, 2), kCh0}));
  EXPECT_EQ(LinesIn(in->Canvas(kTorqueGraph), kCh1)[3],
            (LineCmd{0.08f, s.Torque(1, 4), 0.1f, s.Torque(1, 5), kCh1}));
  // Speed: sample 1 is never drawn, the first segment joins samples 2 and 3.
  const auto speed1 = LinesIn(in->Canvas(kSpeedGraph), kCh1);
  ASSERT_EQ(speed1.size(), 3u);
  EXPECT_EQ(speed1[0], (LineCmd{0.04f, s.Speed(1, 2), 0.06f, s.Speed(1, 3), kCh1}));
  // Turning angle, held in double, is drawn in single precision.
  EXPECT_EQ(LinesIn(in->Canvas(kTurnGraph), kOther)[0],
            (LineCmd{0.02f, 0.1f, 0.04f, 0.2f, kOther}));
  // Path: sideways position across, forward position up.
  const auto path = LinesIn(in->Canvas(kPathGraph), kOther);
  EXPECT_EQ(path[0], (LineCmd{s.y(1), static_cast<float>(s.x(1)), s.y(2),
                              static_cast<float>(s.x(2)), kOther}));
  // Zero lines: the time axis up to the measuring time; the path's cross over the whole
  // area from the texts ("1" to "-1" across, "0" to "1" up).
  EXPECT_EQ(LinesIn(in->Canvas(kPowerGraph), kReferenceGrey)[0],
            (LineCmd{0, 0, 0.1f, 0, kReferenceGrey}));
  const auto cross = LinesIn(in->Canvas(kPathGraph), kReferenceGrey);
  ASSERT_EQ(cross.size(), 2u);
  EXPECT_EQ(cross[0], (LineCmd{1, 0, -1, 0, kReferenceGrey}));
  EXPECT_EQ(cross[1], (LineCmd{0, 0, 0, 1, kReferenceGrey}));
}

// A canvas that logs its set-up calls beside the frame's text changes.
class LoggingCanvas : public Canvas {
 public:
  explicit LoggingCanvas(std::vector<std::string>& log) : log_(log) {}
  void SetScale(float, float, float, float) override { log_.push_back("scale"); }
  void Clear() override { log_.push_back("clear"); }
  void Line(float, float, float, float, Rgb) override { log_.push_back("line"); }
  void SetPenWidth(int) override {}
  void SetFillStyle(FillStyle) override {}
  void SetFillColour(Rgb) override {}
  void Circle(float, float, float, Rgb) override {}

 private:
  std::vector<std::string>& log_;
};

TEST(MainGraphs, TextsAreWrittenBeforeTheScaleIsSet) {
  auto in = GraphInputs::Ramp(2);
  in->kin.SpeedMin = {-0.3f, 0};
  std::vector<std::string> log;
  LoggingCanvas canvas(log);
  PlotFrame frame(canvas);
  frame.SetObserver({[&](A t) { log.push_back(kAxisTextNames.at(static_cast<int>(t))); }, {}});
  const std::vector<std::string> upToFirstLine = {"Xmin",  "Xmax",  "Ymin",  "Ymax", "Xaxis",
                                                  "Yaxis", "scale", "clear", "line"};
  // The speed graph writes its bottom end twice: unit-down first, then "-0.2".
  const std::vector<std::string> speed = {"Xmin",  "Xmax",  "Ymin",  "Ymin",  "Ymax",
                                          "Xaxis", "Yaxis", "scale", "clear", "line"};
  for (int g = 0; g < kMainGraphCount; ++g) {
    log.clear();
    std::array<PlotFrame*, kMainGraphCount> frames{};
    frames.at(static_cast<std::size_t>(g)) = &frame;
    DrawMainGraphs(frames, in->record, in->series, in->kin, in->colours);
    const auto& expected = g == kSpeedGraph ? speed : upToFirstLine;
    ASSERT_GE(log.size(), expected.size()) << g;
    EXPECT_EQ(
        std::vector<std::string>(log.begin(), log.begin() + static_cast<long>(expected.size())),
        expected)
        << g;
  }
}

TEST(MainGraphs, StatusTellsDrawingThenSampling) {
  auto in = GraphInputs::Ramp(3);
  std::vector<std::string> shown;
  std::vector<std::size_t> torqueCommandsAtStatus;
  DrawMainGraphs(in->FramePointers(), in->record, in->series, in->kin, in->colours,
                 [&](std::string_view text) {
                   shown.emplace_back(text);
                   torqueCommandsAtStatus.push_back(in->Canvas(kPowerGraph).commands().size());
                 });
  EXPECT_EQ(shown, (std::vector<std::string>{"Graph Drawing...", "Data Sampling..."}));
  ASSERT_EQ(torqueCommandsAtStatus.size(), 2u);
  EXPECT_EQ(torqueCommandsAtStatus[0], 0u);  // nothing drawn yet
  EXPECT_GT(torqueCommandsAtStatus[1], 0u);  // the last graph is finished
}

TEST(MainGraphs, ZeroMeasuringTimeLeavesTheTimeGraphsEmpty) {
  auto in = GraphInputs::Ramp(20);
  in->record.MeasTime = 0;
  // A graph drawn before keeps nothing of it.
  in->frames[kTorqueGraph].canvas.Line(0, 0, 1, 1, kCh0);
  in->DrawAll();
  for (int g :
       {kTorqueGraph, kSpeedGraph, kDistanceGraph, kTurnGraph, kTurnRateGraph, kPowerGraph}) {
    EXPECT_EQ(in->Text(g, A::kXmax), "0") << g;
    EXPECT_EQ(in->Text(g, A::kXaxis), "Time (sec)") << g;
    EXPECT_EQ(in->Canvas(g).initial().scale.width, 0.0f) << g;
    EXPECT_TRUE(in->Canvas(g).commands().empty()) << g;
  }
  // The path does not depend on the time axis and is still drawn.
  EXPECT_EQ(LinesIn(in->Canvas(kPathGraph), kOther).size(), 19u);
}

TEST(MainGraphs, SampleCountIsKeptWithinTheRecord) {
  struct Case {
    float DataNum;
    std::size_t segmentsPerTrace;
    float lastTime;  // end of the last segment, s
  };
  const Case cases[] = {
      {2500.0f, 1999, 40.0f},  // past the record: up to sample 2000 only
      {2.5f, 1, 0.04f},        // a fraction counts as the whole number, halves to even
      {3.5f, 3, 0.08f},
      {std::numeric_limits<float>::quiet_NaN(), 0, 0},
  };
  for (const auto& c : cases) {
    auto in = GraphInputs::Ramp(kMaxSamples);
    in->record.DataNum = c.DataNum;
    ASSERT_NO_THROW(in->DrawAll()) << c.DataNum;
    const auto torque = LinesIn(in->Canvas(kTorqueGraph), kCh0);
    EXPECT_EQ(torque.size(), c.segmentsPerTrace) << c.DataNum;
    EXPECT_EQ(LinesIn(in->Canvas(kTurnRateGraph), kOther).size(), c.segmentsPerTrace) << c.DataNum;
    if (!torque.empty()) {
      EXPECT_FLOAT_EQ(torque.back().x2, c.lastTime) << c.DataNum;
    }
  }
}

}  // namespace
}  // namespace velquor
