#include "calibration/fit.h"

#include <cmath>
#include <set>

#include "common/number_parse.h"
#include "common/number_text.h"

namespace velquor {
namespace {

constexpr int kDegree = 1;
constexpr int kN = kDegree + 1;  // unknowns

float Single(double v) {
  return static_cast<float>(v);
}

const std::array<const char*, 2> kChannelNames = {"ch0 (Left)", "ch1 (Right)"};

}  // namespace

std::optional<LineFit> FitLine(std::span<const double> x, std::span<const double> y) {
  const std::size_t n = std::min(x.size(), y.size());
  // Power table P(r, k) = x(k)^r and the augmented normal matrix A, 0-based here.
  auto power = [&](int r, std::size_t k) {
    double p = 1.0;
    for (int i = 0; i < r; ++i) p *= x[k];
    return p;
  };
  std::array<std::array<float, kN + 1>, kN> a{};
  for (int r = 0; r < kN; ++r) {
    for (int c = r; c < kN; ++c) {
      double s = 0.0;
      for (std::size_t k = 0; k < n; ++k) s += 1.0 * (power(c, k) * power(r, k));
      a.at(r).at(c) = a.at(c).at(r) = Single(s);
    }
    double s = 0.0;
    for (std::size_t k = 0; k < n; ++k) s += 1.0 * (y[k] * power(r, k));
    a.at(r).at(kN) = Single(s);
  }
  for (int p = 0; p < kN; ++p) {
    const float q = a.at(p).at(p);
    if (q == 0.0f) return std::nullopt;
    for (int c = p + 1; c <= kN; ++c) {
      a.at(p).at(c) = Single(static_cast<double>(a.at(p).at(c)) / q);
    }
    for (int r = 0; r < kN; ++r) {
      if (r == p) continue;
      const float f = a.at(r).at(p);
      for (int c = p + 1; c <= kN; ++c) {
        a.at(r).at(c) =
            Single(static_cast<double>(a.at(r).at(c)) - static_cast<double>(a.at(p).at(c)) * f);
      }
    }
  }
  LineFit fit{a.at(1).at(kN), a.at(0).at(kN)};
  if (!std::isfinite(fit.Ka1) || !std::isfinite(fit.Ka0)) return std::nullopt;
  return fit;
}

Result<CalibrationFit> FitCalibration(const Calibration& texts) {
  CalibrationFit out;
  for (std::size_t ch = 0; ch < 2; ++ch) {
    const std::string channel = kChannelNames.at(ch);
    int count = 0;
    std::set<double> voltages;
    for (std::size_t j = 0; j < kCalRows; ++j) {
      const std::string& volt_text = texts.VoltText.at(ch).at(j);
      if (volt_text.empty()) continue;
      const std::string& tq_text = texts.TqText.at(ch).at(j);
      const std::string row = channel + " row " + std::to_string(j + 1) + ": ";
      auto volt = ParseComplete(volt_text);
      if (!volt)
        return Problem{"", 0, 0, row + "the voltage \"" + volt_text + "\" is not a number"};
      auto tq = ParseComplete(tq_text);
      if (!tq) {
        return Problem{
            "", 0, 0,
            row + (tq_text.empty() ? std::string("the torque beside the voltage is empty")
                                   : "the torque \"" + tq_text + "\" is not a number")};
      }
      ++count;
      out.CalVolt.at(ch).at(static_cast<std::size_t>(count)) = *volt;
      out.CalTorque.at(ch).at(static_cast<std::size_t>(count)) = *tq;
      voltages.insert(*volt);
    }
    out.CalCount.at(ch) = count;
    const std::span<const double> x(out.CalVolt.at(ch).data() + 1, static_cast<std::size_t>(count));
    const std::span<const double> y(out.CalTorque.at(ch).data() + 1,
                                    static_cast<std::size_t>(count));
    std::optional<LineFit> line = voltages.size() >= 2 ? FitLine(x, y) : std::nullopt;
    if (!line) {
      return Problem{"", 0, 0,
                     channel + ": a line needs points at two different voltages at least; " +
                         std::to_string(count) + (count == 1 ? " point" : " points") + " at " +
                         std::to_string(voltages.size()) +
                         (voltages.size() == 1 ? " voltage" : " voltages") + " cannot be fitted"};
    }
    out.line.at(ch) = *line;
  }
  return out;
}

void ApplyFit(const CalibrationFit& fit, Calibration& cal) {
  for (std::size_t ch = 0; ch < 2; ++ch) {
    cal.Ka1.at(ch) = fit.line.at(ch).Ka1;
    cal.Ka0.at(ch) = fit.line.at(ch).Ka0;
  }
  cal.CalCount = fit.CalCount;
  cal.CalVolt = fit.CalVolt;
  cal.CalTorque = fit.CalTorque;
  cal.KaSingle = true;
  cal.loaded = true;
}

CoefficientTexts ShowCoefficients(const Calibration& cal) {
  constexpr const char* kPattern = "##.####";
  CoefficientTexts t;
  t.txtKa0 = {FormatPattern(cal.Ka0.at(0), kPattern), FormatPattern(cal.Ka1.at(0), kPattern)};
  t.txtKa1 = {FormatPattern(cal.Ka0.at(1), kPattern), FormatPattern(cal.Ka1.at(1), kPattern)};
  return t;
}

}  // namespace velquor
