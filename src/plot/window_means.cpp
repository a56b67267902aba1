#include "plot/window_means.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "analysis/constants.h"
#include "common/number_text.h"

namespace velquor {

int MeanWindowSteps(double SampInterval) {
  if (!(SampInterval > 0) || SampInterval >= kMeanWindowMs) return 1;
  return static_cast<int>(std::lround(kMeanWindowMs / SampInterval));
}

MeanWindow MeanWindowOf(double SampInterval, int last) {
  return {MeanWindowSteps(SampInterval), last, SampInterval};
}

float MeanWindow::MidTime(int a) const {
  return static_cast<float>((a + steps / 2.0) * SampInterval / 1000);
}

std::string MeanWindow::Title() const {
  return PlainForm(steps * SampInterval) + " ms mean";
}

namespace {

double WindowSeconds(const MeanWindow& w) {
  return w.steps * w.SampInterval / 1000;
}

}  // namespace

double SpeedMean(const DerivedSeries& s, int ch, const MeanWindow& w, int a) {
  const double run = static_cast<double>(s.Distance(ch, a + w.steps)) - s.Distance(ch, a);
  return run / WindowSeconds(w);
}

double TurnRateMean(const DerivedSeries& s, const MeanWindow& w, int a) {
  return (s.Alpha_deg(a + w.steps) - s.Alpha_deg(a)) / WindowSeconds(w);
}

double PowerMean(const DerivedSeries& s, int ch, const MeanWindow& w, int a) {
  double sum = 0;
  for (int i = a + 1; i <= a + w.steps; ++i) sum += s.Power(ch, i);
  return sum / w.steps;
}

std::optional<std::string> QuantisationNotice(double SampInterval) {
  const int steps = MeanWindowSteps(SampInterval);
  if (steps <= 1) return std::nullopt;
  const double count_m = kWheelRadius * (2 * kPi5 / kCountsPerTurn);
  const double count_speed = count_m / (SampInterval / 1000);
  std::array<char, 32> speed{};
  std::snprintf(speed.data(), speed.size(), "%.2f", count_speed);
  return "At " + PlainForm(SampInterval) + " ms one encoder count in a sample is " +
         std::string(speed.data()) +
         " m/s, so per-sample speeds, turning rates and powers jump in such steps: their "
         "graphs show " +
         PlainForm(steps * SampInterval) +
         " ms means, the files and result boxes keep the per-sample values";
}

}  // namespace velquor
