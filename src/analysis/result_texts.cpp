#include "analysis/result_texts.h"

#include <stdexcept>
#include <string_view>

#include "common/number_text.h"

namespace velquor {
namespace {

constexpr std::string_view kOneDecimal = "###.#";
constexpr std::string_view kTwoDecimals = "###.##";
constexpr std::string_view kStrokeTime = "##.##";
constexpr std::string_view kStrokeDistance = "##.###";

using ChannelTexts = std::array<std::string, 2>;

// Each control once: its name, its text and the value shown in it.
struct MainRow {
  const char* name;
  ChannelTexts MainResultTexts::*text;
  std::array<float, 2> KinematicsResults::*value;
};
constexpr MainRow kMainRows[] = {
    {"txtTqMax", &MainResultTexts::txtTqMax, &KinematicsResults::TqMax},
    {"txtTqAv", &MainResultTexts::txtTqAv, &KinematicsResults::TqAv},
    {"txtTqMin", &MainResultTexts::txtTqMin, &KinematicsResults::TqMin},
    {"txtSpeedMax", &MainResultTexts::txtSpeedMax, &KinematicsResults::SpeedMax},
    {"txtSpeedAv", &MainResultTexts::txtSpeedAv, &KinematicsResults::SpeedAv},
    {"txtSpeedMin", &MainResultTexts::txtSpeedMin, &KinematicsResults::SpeedMin},
};

struct StrokeBoxRow {
  const char* name;
  std::array<std::string, 4> StrokeTableTexts::*text;
  StrokeResults::PerStroke StrokeResults::*value;
  std::string_view pattern;
};
constexpr StrokeBoxRow kStrokeBoxRows[] = {
    {"txtStTime", &StrokeTableTexts::txtStTime, &StrokeResults::StTime, kStrokeTime},
    {"txtStDis", &StrokeTableTexts::txtStDis, &StrokeResults::StDis, kStrokeDistance},
    {"txtStAngle", &StrokeTableTexts::txtStAngle, &StrokeResults::StAngle, kOneDecimal},
};

// A box of the chosen stroke showing a single or (the heading's extremes) a double value.
struct ChosenRow {
  const char* name;
  std::string ChosenStrokeTexts::*text;
  StrokeResults::PerStroke StrokeResults::*single;
  std::array<double, 4> StrokeResults::*precise;
  std::string_view pattern;
  double scale = 1;
};
constexpr ChosenRow kSpeedRows[] = {
    {"txtSpeedMax", &ChosenStrokeTexts::txtSpeedMax, &StrokeResults::StSpeedMax, nullptr,
     kTwoDecimals},
    {"txtSpeedAv", &ChosenStrokeTexts::txtSpeedAv, &StrokeResults::StSpeedAv, nullptr,
     kTwoDecimals},
    {"txtSpeedMin", &ChosenStrokeTexts::txtSpeedMin, &StrokeResults::StSpeedMin, nullptr,
     kTwoDecimals},
    {"txtdSpeed", &ChosenStrokeTexts::txtdSpeed, &StrokeResults::StdSpeed, nullptr, kTwoDecimals},
};
// Side movement is held in metres and shown in millimetres.
constexpr ChosenRow kRangeRows[] = {
    {"txtAlphaMax", &ChosenStrokeTexts::txtAlphaMax, nullptr, &StrokeResults::StAlphaMax,
     kOneDecimal},
    {"txtAlphaMin", &ChosenStrokeTexts::txtAlphaMin, &StrokeResults::StAlphaMin, nullptr,
     kOneDecimal},
    {"txtAlphaDef", &ChosenStrokeTexts::txtAlphaDef, nullptr, &StrokeResults::StAlphaDef,
     kOneDecimal},
    {"txtBetaMax", &ChosenStrokeTexts::txtBetaMax, &StrokeResults::StBetaMax, nullptr, kOneDecimal},
    {"txtBetaMin", &ChosenStrokeTexts::txtBetaMin, &StrokeResults::StBetaMin, nullptr, kOneDecimal},
    {"txtBetaDef", &ChosenStrokeTexts::txtBetaDef, &StrokeResults::StBetaDef, nullptr, kOneDecimal},
    {"txtYMax", &ChosenStrokeTexts::txtYMax, &StrokeResults::StYMax, nullptr, kOneDecimal, 1000},
    {"txtYMin", &ChosenStrokeTexts::txtYMin, &StrokeResults::StYMin, nullptr, kOneDecimal, 1000},
    {"txtYDef", &ChosenStrokeTexts::txtYDef, &StrokeResults::StYDef, nullptr, kOneDecimal, 1000},
};

struct ChosenChannelRow {
  const char* name;
  ChannelTexts ChosenStrokeTexts::*text;
  StrokeResults::PerStrokeCh StrokeResults::*value;
  std::string_view pattern;
};
constexpr ChosenChannelRow kChannelRows[] = {
    {"txtTqMax", &ChosenStrokeTexts::txtTqMax, &StrokeResults::StTqMax, kOneDecimal},
    {"txtTqAv", &ChosenStrokeTexts::txtTqAv, &StrokeResults::StTqAv, kOneDecimal},
    {"txtTqMin", &ChosenStrokeTexts::txtTqMin, &StrokeResults::StTqMin, kOneDecimal},
    {"txtdTq", &ChosenStrokeTexts::txtdTq, &StrokeResults::StdTq, kTwoDecimals},
    {"txtPowerMax", &ChosenStrokeTexts::txtPowerMax, &StrokeResults::StPowerMax, kOneDecimal},
    {"txtPowerAv", &ChosenStrokeTexts::txtPowerAv, &StrokeResults::StPowerAv, kOneDecimal},
    {"txtPowerMin", &ChosenStrokeTexts::txtPowerMin, &StrokeResults::StPowerMin, kOneDecimal},
    {"txtdPower", &ChosenStrokeTexts::txtdPower, &StrokeResults::StdPower, kTwoDecimals},
};

ChannelTexts PerChannel(const std::array<float, 2>& v, std::string_view pattern) {
  return {FormatPattern(v[0], pattern), FormatPattern(v[1], pattern)};
}

void AddChannels(NamedTexts& out, const std::string& name, const ChannelTexts& t) {
  out.emplace_back(name + "(0)", t[0]);
  out.emplace_back(name + "(1)", t[1]);
}

template <std::size_t N>
void FillChosen(ChosenStrokeTexts& t, const ChosenRow (&rows)[N], const StrokeResults& r,
                std::size_t k) {
  for (const ChosenRow& row : rows) {
    const double v =
        row.single ? static_cast<double>((r.*row.single).at(k)) : (r.*row.precise).at(k);
    t.*row.text = FormatPattern(v * row.scale, row.pattern);
  }
}

template <std::size_t N>
void AddChosen(NamedTexts& out, const ChosenRow (&rows)[N], const ChosenStrokeTexts& t) {
  for (const ChosenRow& row : rows) out.emplace_back(row.name, t.*row.text);
}

}  // namespace

MainResultTexts ShowMainResults(const KinematicsResults& kin) {
  MainResultTexts t;
  for (const MainRow& row : kMainRows) t.*row.text = PerChannel(kin.*row.value, kOneDecimal);
  return t;
}

StrokeTableTexts StrokeBoxTexts(const StrokeResults& r) {
  StrokeTableTexts t;
  for (const StrokeBoxRow& row : kStrokeBoxRows) {
    for (std::size_t k = 1; k <= 3; ++k) {
      (t.*row.text).at(k) = FormatPattern((r.*row.value).at(k), row.pattern);
    }
  }
  return t;
}

ChosenStrokeTexts ChosenStrokeResultTexts(const StrokeResults& r, int k) {
  if (k < 1 || k > 3) {
    throw std::out_of_range("stroke " + std::to_string(k) + " outside No.1..No.3");
  }
  const auto kk = static_cast<std::size_t>(k);
  ChosenStrokeTexts t;
  FillChosen(t, kSpeedRows, r, kk);
  for (const ChosenChannelRow& row : kChannelRows) {
    t.*row.text = PerChannel((r.*row.value).at(kk), row.pattern);
  }
  FillChosen(t, kRangeRows, r, kk);
  return t;
}

NamedTexts MainResultFields(const MainResultTexts& t) {
  NamedTexts out;
  for (const MainRow& row : kMainRows) AddChannels(out, row.name, t.*row.text);
  return out;
}

NamedTexts StrokeTableFields(const StrokeTableTexts& t) {
  NamedTexts out;
  for (const StrokeBoxRow& row : kStrokeBoxRows) {
    for (std::size_t k = 1; k <= 3; ++k) {
      out.emplace_back(row.name + std::to_string(k), (t.*row.text).at(k));
    }
  }
  return out;
}

NamedTexts ChosenStrokeFields(const ChosenStrokeTexts& t) {
  NamedTexts out;
  AddChosen(out, kSpeedRows, t);
  for (const ChosenChannelRow& row : kChannelRows) AddChannels(out, row.name, t.*row.text);
  AddChosen(out, kRangeRows, t);
  return out;
}

}  // namespace velquor
