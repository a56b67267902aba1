#include "calibration/fit_review.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "common/shortest_text.h"

namespace velquor {
namespace {

const std::array<const char*, 2> kChannel = {"ch0", "ch1"};

std::string Fixed(double v, int decimals) {
  std::array<char, 64> buf{};
  std::snprintf(buf.data(), buf.size(), "%.*f", decimals, v);
  return buf.data();
}

// A coefficient as the shortest text of the single it is used as.
std::string Coefficient(double v) {
  return ShortestText(static_cast<float>(v));
}

std::string LineText(std::size_t ch, double ka1, double ka0) {
  const std::string offset = Coefficient(std::fabs(ka0));
  return std::string(kChannel.at(ch)) + " Tq = " + Coefficient(ka1) + " x V " +
         (std::signbit(static_cast<float>(ka0)) ? "- " : "+ ") + offset + " Nm";
}

ChannelQuality Quality(const CalibrationFit& fit, std::size_t ch, const Calibration& in_force) {
  ChannelQuality q;
  const int n = fit.CalCount.at(ch);
  const auto& x = fit.CalVolt.at(ch);
  const auto& y = fit.CalTorque.at(ch);
  if (n < 1) return q;
  double low = x.at(1), high = x.at(1), mean = 0;
  for (int k = 1; k <= n; ++k) {
    const auto i = static_cast<std::size_t>(k);
    low = std::min(low, x.at(i));
    high = std::max(high, x.at(i));
    mean += y.at(i);
  }
  mean /= n;
  q.span = high - low;
  const LineFit& line = fit.line.at(ch);
  double residual = 0, total = 0;
  for (int k = 1; k <= n; ++k) {
    const auto i = static_cast<std::size_t>(k);
    const double r = y.at(i) - (static_cast<double>(line.Ka1) * x.at(i) + line.Ka0);
    residual += r * r;
    total += (y.at(i) - mean) * (y.at(i) - mean);
  }
  if (total > 0) q.rSquared = 1.0 - residual / total;
  const double old = in_force.Ka1.at(ch);
  if (in_force.loaded && old != 0 && std::isfinite(old)) {
    q.slopeChange = (static_cast<double>(line.Ka1) - old) / std::fabs(old);
  }
  return q;
}

}  // namespace

FitReview ReviewFit(const CalibrationFit& fit, const Calibration& in_force) {
  FitReview r;
  for (std::size_t ch = 0; ch < 2; ++ch) {
    const ChannelQuality q = Quality(fit, ch, in_force);
    r.channel.at(ch) = q;
    const std::string name = kChannel.at(ch);
    // A span typed as 0.1 V may come out a hair below it in binary.
    if (q.span < kMinVoltSpan * (1 - 1e-9)) {
      r.doubts.push_back(name + ": the voltages span " + Fixed(q.span, 3) + " V, less than " +
                         Fixed(kMinVoltSpan, 1) + " V");
    }
    if (!q.rSquared) {
      r.doubts.push_back(name + ": every torque is the same, so R² cannot be computed");
    } else if (*q.rSquared < kMinRSquared) {
      r.doubts.push_back(name + ": R² is " + Fixed(*q.rSquared, 5) + ", less than " +
                         Fixed(kMinRSquared, 2));
    }
    if (q.slopeChange && std::fabs(*q.slopeChange) > kMaxSlopeChange) {
      r.doubts.push_back(name + ": Ka1 = " + Coefficient(fit.line.at(ch).Ka1) +
                         " Nm/V differs by " + Fixed(std::fabs(*q.slopeChange) * 100, 0) +
                         " % from the " + Coefficient(in_force.Ka1.at(ch)) +
                         " Nm/V in force (at most " + Fixed(kMaxSlopeChange * 100, 0) + " %)");
    }
  }
  return r;
}

std::string QualityText(const ChannelQuality& q) {
  const std::string r2 =
      q.rSquared ? Fixed(*q.rSquared, 5) : std::string("none (every torque the same)");
  return "R² " + r2 + ", span " + Fixed(q.span, 3) + " V";
}

std::string ReplaceQuestion(const FitReview& review, const CalibrationFit& fit,
                            const Calibration& in_force) {
  std::string t = "The new calibration is doubtful:\n";
  for (const std::string& d : review.doubts) t += d + "\n";
  t += "\nNew: " + LineText(0, fit.line[0].Ka1, fit.line[0].Ka0) + ", " +
       LineText(1, fit.line[1].Ka1, fit.line[1].Ka0) + "\nIn force: " + InForceText(in_force) +
       "\n\nReplace the calibration in force with the new one and write it?\n"
       "No keeps the calibration in force and its file.";
  return t;
}

std::string CoefficientsText(const Calibration& cal) {
  return LineText(0, cal.Ka1[0], cal.Ka0[0]) + ", " + LineText(1, cal.Ka1[1], cal.Ka0[1]);
}

std::string InForceText(const Calibration& cal) {
  if (!cal.loaded) return "no calibration loaded (Ka1 = 0, Ka0 = 0)";
  std::string t = CoefficientsText(cal) + "; ";
  t += cal.file.empty() ? std::string("not kept in a file") : "from " + cal.file;
  if (!cal.date.empty()) t += " of " + cal.date;
  return t;
}

}  // namespace velquor
