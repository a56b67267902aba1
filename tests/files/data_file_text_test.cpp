#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "files/csv_rows.h"
#include "files/data_file_text.h"
#include "files/sim_measurement.h"

namespace velquor {
namespace {

using testing::Fields;
using testing::Lines;

const SaveStamp kStamp{2026, 12, 5, 14, 30, 0};

using Saved = testing::SimMeasurement;

// 100 samples at 20 ms with onsets for three strokes, one of them counted.
Saved OneStroke() {
  Saved s;
  s.rec->SampInterval = 20;
  s.rec->DataNum = 100;
  s.rec->MeasTime = 2;
  s.strokes.StrokeCount = 1;
  s.strokes.StrokeTime = {0, 0.52f, 1.38f, 2.2f, 3.0f};
  s.strokes.StrokeIdx = {0, 26, 69, 110, 150};
  return s;
}

TEST(SummaryFile, OneRowPerStrokeEachFromItsOwnOnsets) {
  Saved s = OneStroke();
  s.strokes.StrokeCount = 0;
  EXPECT_EQ(SummaryFileText("RUN0000012", "", *s.rec, s.strokes, kStamp),
            std::string(SummaryHeader()) + "\r\n");
  s.strokes.StrokeCount = 3;
  s.strokes.StTime = {0, 0.86f, 0.82f, 0.8f};
  const std::string text = SummaryFileText("RUN0000012", "", *s.rec, s.strokes, kStamp);
  auto lines = Lines(text);
  ASSERT_EQ(lines.size(), 4u);
  for (const auto& l : lines) EXPECT_EQ(Fields(l).size(), 44u) << l;
  EXPECT_EQ(lines[1].rfind("RUN0000012,12-05-2026,14:30:00,Velquor10, 20, 100, 2, .52, 1.38, "
                           "26, 69,",
                           0),
            0u)
      << lines[1];
  EXPECT_EQ(lines[1].back(), ',') << "an empty note leaves the row ending in \",\"";
  const auto row3 = Fields(lines[3]);
  EXPECT_EQ(std::vector<std::string>(row3.begin() + 7, row3.begin() + 12),
            (std::vector<std::string>{" 2.2", " 3", " 110", " 150", " .8"}));
  EXPECT_EQ(Fields(lines[0]).at(29), "エネルギ変動率ch0");  // channel 0's power fluctuation
}

TEST(SummaryFile, EachStatisticInItsFieldAndForm) {
  struct Case {
    int field;  // 1-based
    std::function<void(StrokeResults&)> set;
    std::string text;
  };
  const Case cases[] = {
      {14, [](StrokeResults& s) { s.StAngle[1] = 277.1f; }, " 277.1"},
      {21, [](StrokeResults& s) { s.StTqMax[1][0] = 0.5f; }, "0.5"},  // plain form
      {35, [](StrokeResults& s) { s.StBetaMax[1] = 1.0f / 3; }, " .3333333"},
      {38, [](StrokeResults& s) { s.StAlphaMax[1] = 1.0 / 3; }, " .333333333333333"},  // double
      {41, [](StrokeResults& s) { s.StYMax[1] = 0.1234f; }, " 123.4"},  // metres to mm
      {43, [](StrokeResults& s) { s.StYDef[1] = 1e-8f; }, " 1E-05"},
  };
  for (const auto& c : cases) {
    Saved s = OneStroke();
    c.set(s.strokes);
    auto f = Fields(Lines(SummaryFileText("R", "note", *s.rec, s.strokes, kStamp)).at(1));
    EXPECT_EQ(f.at(static_cast<std::size_t>(c.field - 1)), c.text) << "field " << c.field;
    EXPECT_EQ(f.back(), "note");
  }
}

TEST(SampleFile, RowsNumberedFromOneAndEachColumnInItsField) {
  Saved plain = OneStroke();
  plain.rec->DataNum = 3;
  auto lines = Lines(SampleFileText(*plain.rec, *plain.series));
  ASSERT_EQ(lines.size(), 5u);
  for (const auto& l : lines) EXPECT_EQ(Fields(l).size(), 22u) << l;
  EXPECT_EQ(lines[2].substr(0, 7), " 1, .02");
  EXPECT_EQ(lines[4].substr(0, 7), " 3, .06");

  struct Case {
    int field;
    std::function<void(MeasurementRecord&, DerivedSeries&)> set;
    std::string text;
  };
  const int i = 2;
  const Case cases[] = {
      {3, [](auto& r, auto&) { r.Encoder(0, i) = 4095; }, " 4095"},
      {6, [](auto& r, auto&) { r.Volt(1, i) = 1.0009765625f; }, " 1.000977"},
      {8, [](auto&, auto& s) { s.Torque(1, i) = -3; }, "-3"},
      {16, [](auto&, auto& s) { s.Speed(kSpeedAv, i) = 1.375f; }, " 1.375"},
      {19, [](auto&, auto& s) { s.Beta_deg(i) = 1.0f / 3; }, " .3333333"},
      {22, [](auto&, auto& s) { s.y(i) = 2.0f / 3; }, " .6666667"},
  };
  for (const auto& c : cases) {
    Saved s = OneStroke();
    s.rec->DataNum = 3;
    c.set(*s.rec, *s.series);
    lines = Lines(SampleFileText(*s.rec, *s.series));
    const auto at = static_cast<std::size_t>(c.field - 1);
    EXPECT_EQ(Fields(lines.at(3)).at(at), c.text) << "field " << c.field;
    // The neighbouring rows are not touched by sample 2's values.
    EXPECT_EQ(Fields(lines.at(2)).at(at), " 0") << "field " << c.field;
    EXPECT_EQ(Fields(lines.at(4)).at(at), " 0") << "field " << c.field;
  }
}

}  // namespace
}  // namespace velquor
