// Records and series built by hand for the analysis tests: a condition, encoder counts
// stepped per sample and voltages, with the large arrays on the heap.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

#include "analysis/series.h"
#include "record/record.h"

namespace velquor::hand {

struct Bench {
  std::unique_ptr<MeasurementRecord> rec = std::make_unique<MeasurementRecord>();
  std::unique_ptr<DerivedSeries> s = std::make_unique<DerivedSeries>();
  KinematicsResults kin;

  // n samples every `interval_ms`, MeasTime as the main window would compute it.
  explicit Bench(int n, double interval_ms = 20) {
    rec->DataNum = static_cast<float>(n);
    rec->SampInterval = interval_ms;
    rec->MeasTime = interval_ms * n / 1000;
  }

  // Encoder counts from `start`, each sample stepping by the next of `steps` (wrapped to
  // 0..4095 as the 12-bit counter does); the last step repeats to the end.
  void Counts(int ch, int start, const std::vector<int>& steps) {
    int count = start;
    const int n = static_cast<int>(rec->DataNum);
    for (int i = 1; i <= n; ++i) {
      if (i > 1) count += steps.at(std::min(static_cast<std::size_t>(i - 2), steps.size() - 1));
      count = ((count % 4096) + 4096) % 4096;
      rec->Encoder(ch, i) = static_cast<float>(count);
    }
  }
};

}  // namespace velquor::hand
