// The texts of the two result tables exactly as the screens show them: the whole-record
// table of the main window and the stroke tables of the Calculated Results screen.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "analysis/series.h"

namespace velquor {

// Index 0 is the left wheel (ch0), 1 the right wheel (ch1).
struct MainResultTexts {
  std::array<std::string, 2> txtTqMax, txtTqAv, txtTqMin, txtSpeedMax, txtSpeedAv, txtSpeedMin;
};
MainResultTexts ShowMainResults(const KinematicsResults& kin);

// The nine per-stroke boxes, index 1..3 (element 0 unused).
struct StrokeTableTexts {
  std::array<std::string, 4> txtStTime, txtStDis, txtStAngle;
};
StrokeTableTexts StrokeBoxTexts(const StrokeResults& r);

// The lower table, for one chosen stroke; side movement is shown in millimetres.
struct ChosenStrokeTexts {
  std::string txtSpeedMax, txtSpeedAv, txtSpeedMin, txtdSpeed;
  std::array<std::string, 2> txtTqMax, txtTqAv, txtTqMin, txtdTq, txtPowerMax, txtPowerAv,
      txtPowerMin, txtdPower;
  std::string txtAlphaMax, txtAlphaMin, txtAlphaDef, txtBetaMax, txtBetaMin, txtBetaDef, txtYMax,
      txtYMin, txtYDef;
};
// k is the stroke 1..3; any other k throws std::out_of_range.
ChosenStrokeTexts ChosenStrokeResultTexts(const StrokeResults& r, int k);

// The same texts as (control name, text) pairs in the order the screens fill them, channel 0
// before channel 1: "txtTqMax(0)", "txtStTime1", "txtdTq(1)", "txtYDef", ...
using NamedTexts = std::vector<std::pair<std::string, std::string>>;
NamedTexts MainResultFields(const MainResultTexts& t);
NamedTexts StrokeTableFields(const StrokeTableTexts& t);
NamedTexts ChosenStrokeFields(const ChosenStrokeTexts& t);

}  // namespace velquor
