// Simulated trials saved as the run saves them: the trial's three files and its cycles' pair
// summary files in a directory, with pushes of about 30 Nm once a second; and a small study.
#pragma once

#include <cmath>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "analysis/trial_pushes.h"
#include "catalogue/catalogue.h"
#include "files/trial_file_text.h"
#include "record/trial_facts.h"

namespace velquor::testing {

struct SavedTrial {
  TrialFacts facts;
  PushAnalysis pushes;
  std::vector<double> torque0;  // the left wheel's torque at samples 1..n
};

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// A trial of `seconds` at 10 ms named `stem` with two cycles (stem and the next number),
// `strength` scaling its torque so trials differ; its files written into `dir`.
inline SavedTrial SaveTrial(const std::string& dir, const std::string& stem, int next_number,
                            const StudyLabels& who, double strength, double seconds = 12) {
  Calibration cal;
  cal.Ka1 = {20, 20};
  cal.Ka0 = {0, 0};
  TrialSeries series(10, cal, false);
  const int n = static_cast<int>(seconds * 100);
  std::uint16_t enc = 0;
  for (int i = 0; i < n; ++i) {
    const double phase = std::fmod(i * 0.01, 1.0);
    const double push = phase < 0.4 ? std::sin(phase / 0.4 * 3.14159265) : 0.0;
    const auto v = static_cast<float>(1.5 * strength * push);
    enc = static_cast<std::uint16_t>((enc + 3) % 4096);
    series.Append({v, v * 0.9f}, {static_cast<std::uint16_t>(4095 - enc), enc});
  }
  SavedTrial t;
  for (std::int64_t i = 1; i <= series.Samples(); ++i) t.torque0.push_back(series.Torque(0, i));
  t.pushes = AnalyseTrial(series, PushParameters{}).value();
  TrialFacts& f = t.facts;
  f.stem = stem;
  // Later numbers start later (within the hour).
  const int minute = next_number % 60;
  f.started =
      "2026-12-07T10:" + std::string(minute < 10 ? "0" : "") + std::to_string(minute) + ":00+09:00";
  f.who = who;
  f.interval_ms = 10;
  f.samples = n;
  f.ka1 = cal.Ka1;
  f.ka0 = cal.Ka0;
  const std::string second = "RUN" + std::to_string(10000000 + next_number).substr(1);
  f.cycles = {{stem, 1, n / 2}, {second, n / 2 + 1, n - n / 2}};
  f.markers = {{1, 250, 2.5, "block 1"}};
  WriteText(dir + "/" + TrialJsonName(stem), TrialJsonText(f, t.pushes, true));
  std::string csv = TrialCsvHeader();
  for (std::int64_t i = 1; i <= series.Samples(); ++i) {
    AppendTrialCsvRow(series, i, i == f.markers[0].sample ? 1 : 0, csv);
  }
  WriteText(dir + "/" + TrialCsvName(stem), csv);
  WriteText(dir + "/" + TrialPushesName(stem), TrialPushesCsvText(f, t.pushes));
  for (const TrialCycle& c : f.cycles) WriteText(dir + "/" + c.stem + "_dat.csv", "x\r\n");
  return t;
}

// Two participants over three sessions, with a second run of P01's session 2, catalogued.
inline std::map<std::string, SavedTrial> SaveStudy(const std::string& dir) {
  std::map<std::string, SavedTrial> saved;  // by "P01/2/1"
  int n = 1;
  const auto add = [&](const std::string& p, const std::string& s, int run) {
    const std::string stem = "RUN" + std::to_string(1000000 + n);
    SavedTrial t = SaveTrial(dir, stem, n + 1, {p, s, "steady"}, 0.5 + 0.1 * n, 4);
    n += 2;
    saved[p + "/" + s + "/" + std::to_string(run)] = std::move(t);
  };
  for (const char* p : {"P01", "P02"}) {
    for (const char* s : {"1", "2", "3"}) add(p, s, 1);
  }
  add("P01", "2", 2);
  // A trial of nobody is left out.
  SaveTrial(dir, "RUN0999999", 99, {"", "", ""}, 1.0, 2);
  // A study that could not be catalogued is none: the caller's checks fail on it.
  if (!ScanCatalogue(dir).ok()) saved.clear();
  return saved;
}

}  // namespace velquor::testing
