#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/shift_jis.h"
#include "files/data_file_text.h"

namespace velquor {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find("\r\n", pos);
    EXPECT_NE(end, std::string::npos) << "every line ends in CR LF";
    if (end == std::string::npos) break;
    out.push_back(text.substr(pos, end - pos));
    pos = end + 2;
  }
  return out;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> out;
  std::size_t pos = 0;
  for (;;) {
    std::size_t comma = line.find(',', pos);
    out.push_back(line.substr(pos, comma - pos));
    if (comma == std::string::npos) return out;
    pos = comma + 1;
  }
}

const SaveStamp kStamp{2026, 12, 5, 14, 30, 0};

struct Saved {
  std::unique_ptr<MeasurementRecord> rec = std::make_unique<MeasurementRecord>();
  std::unique_ptr<DerivedSeries> series = std::make_unique<DerivedSeries>();
  StrokeResults strokes;
};

Saved OneStroke() {
  Saved s;
  s.rec->SampInterval = 20;
  s.rec->DataNum = 100;
  s.rec->MeasTime = 2;
  s.strokes.StrokeCount = 1;
  s.strokes.StrokeTime = {0, 0.52f, 1.38f, 0, 0};
  s.strokes.StrokeIdx = {0, 26, 69, 0, 0};
  return s;
}

TEST(SummaryFile, StrokeRowBeginsWithNameStampAndCondition) {
  Saved s = OneStroke();
  auto lines = Lines(SummaryFileText("RUN0000012", "", *s.rec, s.strokes, kStamp));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].rfind("RUN0000012,12-05-2026,14:30:00,Velquor10, 20, 100, 2, .52, 1.38, "
                           "26, 69,",
                           0),
            0u)
      << lines[1];
  EXPECT_EQ(lines[1].back(), ',') << "an empty note leaves the row ending in \",\"";
  EXPECT_EQ(Fields(lines[1]).size(), 44u);
}

TEST(SummaryFile, NoStrokeGivesTheHeaderAloneAndEveryRowHas44Fields) {
  Saved s = OneStroke();
  for (int count : {0, 1, 2, 3}) {
    s.strokes.StrokeCount = count;
    const std::string text = SummaryFileText("R", "a note", *s.rec, s.strokes, kStamp);
    auto lines = Lines(text);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(count) + 1);
    EXPECT_EQ(lines[0], SummaryHeader());
    for (const auto& l : lines) EXPECT_EQ(Fields(l).size(), 44u) << l;
    EXPECT_TRUE(Utf8ToShiftJis(text).ok());
  }
  auto header = Fields(std::string(SummaryHeader()));
  EXPECT_EQ(header[29], "エネルギ変動率ch0");  // channel 0's power fluctuation column
  EXPECT_EQ(header[33], "エネルギ変動率ch1");
  EXPECT_EQ(header[43], "ノート");
}

TEST(SummaryFile, EachStatisticInItsFieldAndForm) {
  struct Case {
    int field;  // 1-based
    std::function<void(StrokeResults&)> set;
    std::string text;
  };
  const Case cases[] = {
      {12, [](StrokeResults& s) { s.StTime[1] = 0.86f; }, " .86"},
      {13, [](StrokeResults& s) { s.StDis[1] = 1.5f; }, " 1.5"},
      {14, [](StrokeResults& s) { s.StAngle[1] = 277.1f; }, " 277.1"},
      {15, [](StrokeResults& s) { s.StSpeedMin[1] = -0.5f; }, "-.5"},
      {18, [](StrokeResults& s) { s.StdSpeed[1] = 0.25f; }, " .25"},
      {19, [](StrokeResults& s) { s.StTqMin[1][0] = -0.5f; }, "-.5"},
      {20, [](StrokeResults& s) { s.StTqAv[1][0] = 0.5f; }, " .5"},
      {21, [](StrokeResults& s) { s.StTqMax[1][0] = 0.5f; }, "0.5"},  // plain form
      {22, [](StrokeResults& s) { s.StdTq[1][0] = -0.25f; }, "-0.25"},
      {23, [](StrokeResults& s) { s.StTqMin[1][1] = 1; }, " 1"},
      {25, [](StrokeResults& s) { s.StTqMax[1][1] = 12; }, "12"},
      {26, [](StrokeResults& s) { s.StdTq[1][1] = 0.125f; }, "0.125"},
      {27, [](StrokeResults& s) { s.StPowerMin[1][0] = -3; }, "-3"},
      {30, [](StrokeResults& s) { s.StdPower[1][0] = 0.75f; }, " .75"},
      {33, [](StrokeResults& s) { s.StPowerMax[1][1] = 40.5f; }, " 40.5"},
      {35, [](StrokeResults& s) { s.StBetaMax[1] = 1.0f / 3; }, " .3333333"},
      {37, [](StrokeResults& s) { s.StBetaDef[1] = 2; }, " 2"},
      {38, [](StrokeResults& s) { s.StAlphaMax[1] = 1.0 / 3; }, " .333333333333333"},  // double
      {39, [](StrokeResults& s) { s.StAlphaMin[1] = -1.0f / 3; }, "-.3333333"},
      {40, [](StrokeResults& s) { s.StAlphaDef[1] = 2.0 / 3; }, " .666666666666667"},
      {41, [](StrokeResults& s) { s.StYMax[1] = 0.1234f; }, " 123.4"},  // metres to mm
      {42, [](StrokeResults& s) { s.StYMin[1] = -0.0005f; }, "-.5"},
      {43, [](StrokeResults& s) { s.StYDef[1] = 1e-8f; }, " 1E-05"},
  };
  for (const auto& c : cases) {
    Saved s = OneStroke();
    c.set(s.strokes);
    auto lines = Lines(SummaryFileText("R", "note", *s.rec, s.strokes, kStamp));
    auto f = Fields(lines.at(1));
    EXPECT_EQ(f.at(static_cast<std::size_t>(c.field - 1)), c.text) << "field " << c.field;
    EXPECT_EQ(f.back(), "note");
  }
}

TEST(SummaryFile, LaterStrokesUseTheirOwnOnsets) {
  Saved s = OneStroke();
  s.strokes.StrokeCount = 3;
  s.strokes.StrokeIdx = {0, 26, 69, 110, 150};
  s.strokes.StrokeTime = {0, 0.52f, 1.38f, 2.2f, 3.0f};
  s.strokes.StTime = {0, 0.86f, 0.82f, 0.8f};
  auto lines = Lines(SummaryFileText("R", "", *s.rec, s.strokes, kStamp));
  ASSERT_EQ(lines.size(), 4u);
  auto row3 = Fields(lines[3]);
  EXPECT_EQ(row3[7], " 2.2");
  EXPECT_EQ(row3[8], " 3");
  EXPECT_EQ(row3[9], " 110");
  EXPECT_EQ(row3[10], " 150");
  EXPECT_EQ(row3[11], " .8");
}

TEST(SampleFile, HeaderUnitsAndRowNumbering) {
  Saved s = OneStroke();
  s.rec->DataNum = 3;
  auto lines = Lines(SampleFileText(*s.rec, *s.series));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(Fields(lines[0]).size(), 22u);
  EXPECT_EQ(Fields(lines[1]).size(), 22u);
  EXPECT_EQ(lines[0].substr(0, 31), "i, Time(i),Encoder(0), Encoder(");
  EXPECT_EQ(lines[1].substr(lines[1].size() - 15), "deg/s, deg,m, m");
  EXPECT_EQ(lines[2].substr(0, 7), " 1, .02");
  EXPECT_EQ(lines[3].substr(0, 7), " 2, .04");
  EXPECT_EQ(lines[4].substr(0, 7), " 3, .06");
  EXPECT_EQ(lines[4].back(), '0') << "no \",\" after the last field";
  EXPECT_EQ(Fields(lines[4]).size(), 22u);
}

TEST(SampleFile, EachColumnInItsField) {
  struct Case {
    int field;
    std::function<void(MeasurementRecord&, DerivedSeries&)> set;
    std::string text;
  };
  const int i = 2;
  const Case cases[] = {
      {3, [](auto& r, auto&) { r.Encoder(0, i) = 4095; }, " 4095"},
      {4, [](auto& r, auto&) { r.Encoder(1, i) = 7; }, " 7"},
      {5, [](auto& r, auto&) { r.Volt(0, i) = -0.5f; }, "-.5"},
      {6, [](auto& r, auto&) { r.Volt(1, i) = 1.0009765625f; }, " 1.000977"},
      {7, [](auto&, auto& s) { s.Torque(0, i) = 12.5f; }, " 12.5"},
      {8, [](auto&, auto& s) { s.Torque(1, i) = -3; }, "-3"},
      {9, [](auto&, auto& s) { s.Angle_deg(0, i) = 1.98f; }, " 1.98"},
      {10, [](auto&, auto& s) { s.Angle_deg(1, i) = 90; }, " 90"},
      {11, [](auto&, auto& s) { s.Distance(0, i) = 0.25f; }, " .25"},
      {12, [](auto&, auto& s) { s.Distance(1, i) = 0.75f; }, " .75"},
      {13, [](auto&, auto& s) { s.Distance(kDistanceAv, i) = 0.5f; }, " .5"},
      {14, [](auto&, auto& s) { s.Speed(0, i) = 1.25f; }, " 1.25"},
      {15, [](auto&, auto& s) { s.Speed(1, i) = 1.5f; }, " 1.5"},
      {16, [](auto&, auto& s) { s.Speed(kSpeedAv, i) = 1.375f; }, " 1.375"},
      {17, [](auto&, auto& s) { s.Power(0, i) = 30; }, " 30"},
      {18, [](auto&, auto& s) { s.Power(1, i) = -0.125f; }, "-.125"},
      {19, [](auto&, auto& s) { s.Beta_deg(i) = 1.0f / 3; }, " .3333333"},
      {20, [](auto&, auto& s) { s.Alpha_deg(i) = 1.0 / 3; }, " .333333333333333"},
      {21, [](auto&, auto& s) { s.x(i) = 2.0 / 3; }, " .666666666666667"},
      {22, [](auto&, auto& s) { s.y(i) = 2.0f / 3; }, " .6666667"},
  };
  for (const auto& c : cases) {
    Saved s = OneStroke();
    s.rec->DataNum = 3;
    c.set(*s.rec, *s.series);
    auto lines = Lines(SampleFileText(*s.rec, *s.series));
    auto f = Fields(lines.at(3));
    EXPECT_EQ(f.at(static_cast<std::size_t>(c.field - 1)), c.text) << "field " << c.field;
    // The neighbouring rows are not touched by sample 2's values.
    for (const auto& other : {Fields(lines.at(2)), Fields(lines.at(4))}) {
      EXPECT_EQ(other.at(static_cast<std::size_t>(c.field - 1)), " 0") << "field " << c.field;
    }
  }
}

}  // namespace
}  // namespace velquor
