#include "plot/live_trace.h"

#include <algorithm>

#include "common/number_text.h"
#include "plot/nice_range.h"
#include "plot/time_trace.h"

namespace velquor {

void DrawLiveTorque(PlotFrame& f, const Grid<float, 2, kSampleSlots>& torque, int count,
                    double samp_interval, double meas_time, const std::array<Rgb, 3>& colour,
                    const std::vector<int>& markers) {
  const int last = std::clamp(count, 0, kMaxSamples);
  double low = 0, high = 0;
  for (int i = 1; i <= last; ++i) {
    for (int ch = 0; ch < 2; ++ch) {
      low = std::min(low, static_cast<double>(torque(ch, i)));
      high = std::max(high, static_cast<double>(torque(ch, i)));
    }
  }
  f.SetTexts("0", PlainForm(meas_time), PlainForm(TenDown(low)), PlainForm(TenUp(high)),
             "Time (sec)", "Torque (Nm)");
  if (!f.ScaleFromTextsAndClear().Usable()) return;
  Canvas& c = f.canvas();
  c.Line(0.0f, 0.0f, static_cast<float>(meas_time), 0.0f, kReferenceGrey);
  const auto bottom = static_cast<float>(TenDown(low));
  const auto top = static_cast<float>(TenUp(high));
  for (int m : markers) {
    if (m < 1 || m > last) continue;
    const float t = SampleTime(m, samp_interval);
    c.Line(t, bottom, t, top, kMarkerGrey);
  }
  c.SetPenWidth(3);
  // Step i joins sample i - 1 to sample i; the trace begins at sample 1.
  DrawTimeTraces(c, 2, last, samp_interval,
                 Trace{[&torque](int i) { return torque(0, i); }, colour[0]},
                 Trace{[&torque](int i) { return torque(1, i); }, colour[1]});
  c.SetPenWidth(1);
}

}  // namespace velquor
