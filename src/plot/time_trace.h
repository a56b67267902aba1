// The time axis of the time graphs and the drawing of series against it: sample i sits at
// i x SampInterval / 1000 seconds and each sample step is one segment per series.
#pragma once

#include <algorithm>
#include <utility>

#include "common/colors.h"
#include "plot/canvas.h"

namespace velquor {

// The last sample a graph may draw: DataNum as a whole number (halves to even), kept
// within the record (0..2000) so no series is ever read past its end; 0 when not a number.
int LastSample(float DataNum);

// t(i) in seconds, in the single precision every drawn value is given in.
float SampleTime(int i, double SampInterval);

// A series to draw: a callable giving the value of sample i, and its colour.
template <class Value>
struct Trace {
  Value value;
  Rgb colour;
};
template <class Value>
Trace(Value, Rgb) -> Trace<Value>;

// Draws the segments of steps first..last (step i joins sample i - 1 to sample i); within
// each step the traces are drawn in the order given, then the next step follows.
template <class... Values>
void DrawTimeTraces(Canvas& canvas, int first, int last, double SampInterval,
                    const Trace<Values>&... traces) {
  for (int i = std::max(first, 1); i <= last; ++i) {
    const float t0 = SampleTime(i - 1, SampInterval);
    const float t1 = SampleTime(i, SampInterval);
    (canvas.Line(t0, static_cast<float>(traces.value(i - 1)), t1,
                 static_cast<float>(traces.value(i)), traces.colour),
     ...);
  }
}

}  // namespace velquor
