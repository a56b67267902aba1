// Means over short windows for the graphs of quantities taken per sample step. Below 20 ms
// one encoder count in a step is a large speed (0.97 m/s at 1 ms), so the per-sample speed,
// turning rate and power jump between 0 and that step and their graphs fill solid; their
// means over windows of about 20 ms, telescoped from the angle (nothing is lost), are drawn
// instead. The files and the result texts keep the per-sample values.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "analysis/series.h"
#include "plot/canvas.h"
#include "plot/time_trace.h"

namespace velquor {

inline constexpr double kMeanWindowMs = 20;

// Sample steps per window: round(20 / SampInterval); 1 (per sample, no window) at 20 ms and
// above, or for an interval that is no positive number.
int MeanWindowSteps(double SampInterval);

// The window of a graph of samples 1..last: `steps` sample steps per window, windows [a, a +
// steps] for a = 1..last - steps (sample 1 has no step before it, so no window holds it as a
// step). Drawn only when there are two windows at least.
struct MeanWindow {
  int steps = 1;
  int last = 0;
  double SampInterval = 0;

  // Windowed at all: more than one step per window, and two windows in the record.
  bool Drawn() const { return steps > 1 && Windows() >= 2; }
  int Windows() const { return last - steps; }
  // The middle of window a, in seconds.
  float MidTime(int a) const;
  // Its length as the graph's title gives it: "20 ms mean".
  std::string Title() const;
};

MeanWindow MeanWindowOf(double SampInterval, int last);

// Means over window a (steps a + 1 .. a + steps):
// a wheel's speed from its distance, (Distance(b) - Distance(a)) / window time;
double SpeedMean(const DerivedSeries& s, int ch, const MeanWindow& w, int a);
// the turning rate from the heading, (Alpha_deg(b) - Alpha_deg(a)) / window time;
double TurnRateMean(const DerivedSeries& s, const MeanWindow& w, int a);
// a wheel's power as the work of the window over its time, the mean of its steps' powers.
double PowerMean(const DerivedSeries& s, int ch, const MeanWindow& w, int a);

// The smallest and largest of a series of window means, each starting at 0 as the axis
// trackers do.
struct MeanExtremes {
  double min = 0;
  double max = 0;
};
template <class Mean>
MeanExtremes ExtremesOf(const MeanWindow& w, const Mean& mean) {
  MeanExtremes e;
  for (int a = 1; a <= w.Windows(); ++a) {
    const double v = mean(a);
    if (v < e.min) e.min = v;
    if (v > e.max) e.max = v;
  }
  return e;
}

// Once per run, after a cycle below 20 ms: why the graphs show means while the files and
// results keep per-sample values; nothing at 20 ms and above.
std::optional<std::string> QuantisationNotice(double SampInterval);

// Segments from the mean of window a - 1 to that of window a (each trace's value(a) gives
// the mean of window a), at their middle times; within a step the traces are drawn in the
// order given.
template <class... Means>
void DrawMeanTraces(Canvas& canvas, const MeanWindow& w, const Trace<Means>&... traces) {
  for (int a = 2; a <= w.Windows(); ++a) {
    const float t0 = w.MidTime(a - 1);
    const float t1 = w.MidTime(a);
    (canvas.Line(t0, static_cast<float>(traces.value(a - 1)), t1,
                 static_cast<float>(traces.value(a)), traces.colour),
     ...);
  }
}

}  // namespace velquor
