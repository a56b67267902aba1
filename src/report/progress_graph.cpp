#include "report/progress_graph.h"

#include <algorithm>
#include <cmath>

#include "common/number_text.h"
#include "plot/push_graphs.h"

namespace velquor {
namespace {

constexpr int kMostSteps = 8;
constexpr double kBandStrokePixels = 3;  // between the strokes that shade a band
constexpr double kMarkPixels = 3.5;      // the radius of a session's mark
constexpr double kCapHalf = 0.06;        // half the width of an SD bar's caps, in sessions

float F(double v) {
  return static_cast<float>(v);
}

}  // namespace

AxisRange RoundAxis(double low, double high) {
  if (!std::isfinite(low) || !std::isfinite(high)) return {};
  if (high < low) std::swap(low, high);
  // A range within the last digits of its values is one value.
  if (high - low <= 1e-9 * std::max(std::fabs(low), std::fabs(high))) {
    low = high = (low + high) / 2;
    const double d = low == 0 ? 1.0 : std::fabs(low) * 0.1;
    low -= d;
    high += d;
  }
  double unit = std::pow(10.0, std::floor(std::log10((high - low) / kMostSteps)));
  for (;; unit *= 10) {
    for (const double m : {1.0, 2.0, 5.0, 10.0}) {
      const double step = m * unit;
      const double lo = std::floor(low / step), hi = std::ceil(high / step);
      if (hi - lo <= kMostSteps) return {lo * step, hi * step, step};
    }
  }
}

double SessionX(std::size_t session, std::size_t wheel) {
  return static_cast<double>(session + 1) + (wheel == 0 ? -kWheelOffset : kWheelOffset);
}

std::optional<std::pair<double, double>> ProgressExtent(const ProgressFigures& p, std::size_t k,
                                                        std::optional<double> mdc) {
  std::optional<std::pair<double, double>> e;
  const auto take = [&e](double v) {
    if (!std::isfinite(v)) return;
    e = e ? std::pair{std::min(e->first, v), std::max(e->second, v)} : std::pair{v, v};
  };
  for (const SessionProgress& s : p.sessions) {
    for (const WheelFigure& w : s.figures.at(k)) {
      if (!w.pooled.mean) continue;
      const double sd = w.pooled.sd.value_or(0.0);
      take(*w.pooled.mean - sd);
      take(*w.pooled.mean + sd);
    }
  }
  if (mdc && !p.sessions.empty()) {
    for (const WheelFigure& w : p.sessions.front().figures.at(k)) {
      if (!w.pooled.mean) continue;
      take(*w.pooled.mean - *mdc);
      take(*w.pooled.mean + *mdc);
    }
  }
  return e;
}

double MarkRadius(std::size_t sessions, double area_pixels, double pixels) {
  if (area_pixels <= 0) return 0;
  return pixels * static_cast<double>(std::max<std::size_t>(sessions, 1)) / area_pixels;
}

std::vector<AxisLabel> SessionLabels(const ProgressFigures& p) {
  std::vector<AxisLabel> labels;
  for (std::size_t s = 0; s < p.sessions.size(); ++s) {
    labels.push_back({static_cast<double>(s + 1), p.sessions[s].session});
  }
  return labels;
}

void DrawProgressGraph(PlotFrame& frame, const ProgressFigures& p, std::size_t k,
                       std::optional<double> mdc, const std::string& y_title,
                       const std::array<Rgb, 3>& GraphColor) {
  const auto extent = ProgressExtent(p, k, mdc);
  const AxisRange y = extent ? RoundAxis(extent->first, extent->second) : AxisRange{};
  // The session labels stand on the line of the X texts in place of the ends and the title.
  frame.SetTexts("", "", PlainForm(y.low), PlainForm(y.high), "", y_title);
  Canvas& c = frame.canvas();
  const std::size_t n = p.sessions.size();
  const double left = 0.5, right = static_cast<double>(n) + 0.5;
  c.SetScale(F(left), F(y.high), F(right - left), F(y.low - y.high));
  c.Clear();
  if (n == 0) return;
  const double area = kProgressFrame.fig.width / static_cast<double>(kTwipsPerPixel);
  const SessionProgress& first = p.sessions.front();

  c.SetPenWidth(1);
  if (mdc) {
    // The two wheels' strokes take turns, so where the bands overlap both stay visible.
    const double step = MarkRadius(n, area, kBandStrokePixels);
    for (double x = left; x <= right; x += 2 * step) {
      for (std::size_t w = 0; w < 2; ++w) {
        const auto& ref = first.figures.at(k).at(w).pooled.mean;
        if (!ref) continue;
        const double at = std::min(right, x + static_cast<double>(w) * step);
        c.Line(F(at), F(*ref - *mdc), F(at), F(*ref + *mdc), Tint(GraphColor.at(w), 0.85));
      }
    }
    for (std::size_t w = 0; w < 2; ++w) {
      const auto& ref = first.figures.at(k).at(w).pooled.mean;
      if (!ref) continue;
      for (const double side : {-1.0, 1.0}) {
        c.Line(F(left), F(*ref + side * *mdc), F(right), F(*ref + side * *mdc),
               Tint(GraphColor.at(w), 0.45));
      }
    }
  }
  for (std::size_t w = 0; w < 2; ++w) {
    if (const auto& ref = first.figures.at(k).at(w).pooled.mean) {
      c.Line(F(left), F(*ref), F(right), F(*ref), GraphColor.at(w));
    }
  }
  for (std::size_t w = 0; w < 2; ++w) {  // the means joined in date order
    std::optional<std::pair<double, double>> last;
    for (std::size_t s = 0; s < n; ++s) {
      const auto& mean = p.sessions[s].figures.at(k).at(w).pooled.mean;
      if (!mean) continue;
      if (last) {
        c.Line(F(last->first), F(last->second), F(SessionX(s, w)), F(*mean),
               Tint(GraphColor.at(w), 0.5));
      }
      last = std::pair{SessionX(s, w), *mean};
    }
  }
  const double radius = MarkRadius(n, area, kMarkPixels);
  for (std::size_t s = 0; s < n; ++s) {
    for (std::size_t w = 0; w < 2; ++w) {
      const WheelFigure& f = p.sessions[s].figures.at(k).at(w);
      if (!f.pooled.mean) continue;
      const double x = SessionX(s, w), m = *f.pooled.mean;
      if (f.pooled.sd) {
        const double sd = *f.pooled.sd;
        c.SetPenWidth(2);
        c.Line(F(x), F(m - sd), F(x), F(m + sd), GraphColor.at(w));
        c.SetPenWidth(1);
        for (const double end : {m - sd, m + sd}) {
          c.Line(F(x - kCapHalf), F(end), F(x + kCapHalf), F(end), GraphColor.at(w));
        }
      }
      const bool beyond = f.judgement == Judgement::kBeyond;
      c.SetFillStyle(FillStyle::kSolid);
      c.SetFillColour(beyond ? GraphColor.at(w) : kWhite);
      c.SetPenWidth(2);
      c.Circle(F(x), F(m), F(radius), GraphColor.at(w));
      c.SetPenWidth(1);
    }
  }
  c.SetFillStyle(FillStyle::kTransparent);
}

}  // namespace velquor
