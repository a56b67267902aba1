#include "analysis/result_texts.h"

#include <gtest/gtest.h>

#include <map>

namespace velquor {
namespace {

std::map<std::string, std::string> ByName(const NamedTexts& fields) {
  std::map<std::string, std::string> m(fields.begin(), fields.end());
  EXPECT_EQ(m.size(), fields.size()) << "a control name appears twice";
  return m;
}

TEST(ResultTexts, MainTableShowsOneDecimalPerWheel) {
  KinematicsResults kin;
  kin.TqMax = {12.345f, 0};
  kin.TqAv = {-0.25f, 7.96f};
  kin.TqMin = {-3.04f, -0.4f};
  kin.SpeedMax = {1.96f, 0.05f};
  kin.SpeedAv = {0.75f, 100.0f};
  kin.SpeedMin = {-1.55f, 0};
  MainResultTexts t = ShowMainResults(kin);
  const std::map<std::string, std::string> expected = {
      {"txtTqMax(0)", "12.3"},   {"txtTqMax(1)", "."},       {"txtTqAv(0)", "-.3"},
      {"txtTqAv(1)", "8."},      {"txtTqMin(0)", "-3."},     {"txtTqMin(1)", "-.4"},
      {"txtSpeedMax(0)", "2."},  {"txtSpeedMax(1)", ".1"},   {"txtSpeedAv(0)", ".8"},
      {"txtSpeedAv(1)", "100."}, {"txtSpeedMin(0)", "-1.5"}, {"txtSpeedMin(1)", "."},
  };
  EXPECT_EQ(ByName(MainResultFields(t)), expected);
}

TEST(ResultTexts, StrokeTablesShowTheChosenStrokeAndDotsForMissingOnes) {
  StrokeResults r;  // two strokes found: No.3 keeps its zeros
  r.StrokeCount = 2;
  r.StTime = {0, 1.2f, 0.985f, 0};
  r.StDis = {0, 0.9876f, 1.5f, 0};
  r.StAngle = {0, 182.46f, 277.2f, 0};
  r.StSpeedAv[1] = 1.235f;
  r.StdSpeed[1] = 0.456f;
  r.StTqMax[1] = {25.56f, 18.04f};
  r.StdTq[1] = {0.456f, 2.0f};
  r.StAlphaMax[1] = 10.25;
  r.StAlphaMin[1] = -2.5f;
  r.StAlphaDef[1] = 12.75;
  r.StBetaDef[1] = 40.04f;
  r.StYMax[1] = 0.0123f;
  r.StYMin[1] = -0.0004f;
  r.StYDef[1] = 0.0127f;

  const std::map<std::string, std::string> boxes = {
      {"txtStTime1", "1.2"},    {"txtStTime2", ".99"},    {"txtStTime3", "."},
      {"txtStDis1", ".988"},    {"txtStDis2", "1.5"},     {"txtStDis3", "."},
      {"txtStAngle1", "182.5"}, {"txtStAngle2", "277.2"}, {"txtStAngle3", "."},
  };
  EXPECT_EQ(ByName(StrokeTableFields(StrokeBoxTexts(r))), boxes);

  auto first = ByName(ChosenStrokeFields(ChosenStrokeResultTexts(r, 1)));
  EXPECT_EQ(first.size(), 29u);
  const std::map<std::string, std::string> shown = {
      {"txtSpeedAv", "1.24"},  {"txtdSpeed", ".46"},    {"txtTqMax(0)", "25.6"},
      {"txtTqMax(1)", "18."},  {"txtdTq(0)", ".46"},    {"txtdTq(1)", "2."},
      {"txtAlphaMax", "10.3"}, {"txtAlphaMin", "-2.5"}, {"txtAlphaDef", "12.8"},
      {"txtBetaDef", "40."},   {"txtYMax", "12.3"},     {"txtYMin", "-.4"},
      {"txtYDef", "12.7"},     {"txtSpeedMax", "."},
  };
  for (const auto& [name, text] : shown) EXPECT_EQ(first.at(name), text) << name;

  for (const auto& [name, text] : ChosenStrokeFields(ChosenStrokeResultTexts(r, 3))) {
    EXPECT_EQ(text, ".") << name;
  }
}

}  // namespace
}  // namespace velquor
