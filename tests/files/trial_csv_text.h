// Per-sample trial files written for the tests the way a trial is saved: the header line and
// one row per sample of the volts and counts given, with a marker where asked.
#pragma once

#include <array>
#include <charconv>
#include <cstdint>
#include <map>
#include <string>

#include "analysis/trial_series.h"

namespace velquor::testing {

inline std::string ShortestDouble(double v) {
  std::array<char, 32> buf{};
  const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), v);
  return std::string(buf.data(), res.ptr);
}

inline std::string TrialHeader() {
  return "sample,t_s,volt0_V,volt1_V,encoder0,encoder1,torque0_Nm,torque1_Nm,angle0_deg,"
         "angle1_deg,speed0_m_per_s,speed1_m_per_s,power0_W,power1_W,marker\n";
}

// Every sample of `s` with its series, markers by sample.
inline std::string TrialText(const TrialSeries& s,
                             const std::map<std::int64_t, int>& markers = {}) {
  std::string out = TrialHeader();
  for (std::int64_t i = 1; i <= s.Samples(); ++i) {
    out += std::to_string(i) + "," + ShortestDouble(static_cast<double>(i) * s.Dt());
    for (int w = 0; w < 2; ++w) out += "," + ShortestDouble(static_cast<double>(s.Volt(w, i)));
    for (int w = 0; w < 2; ++w) out += "," + std::to_string(s.Encoder(w, i));
    for (int w = 0; w < 2; ++w) out += "," + ShortestDouble(s.Torque(w, i));
    for (int w = 0; w < 2; ++w) out += "," + ShortestDouble(s.AngleDeg(w, i));
    for (int w = 0; w < 2; ++w) out += i == 1 ? "," : "," + ShortestDouble(s.Speed(w, i));
    for (int w = 0; w < 2; ++w) out += i == 1 ? "," : "," + ShortestDouble(s.Power(w, i));
    const auto m = markers.find(i);
    out += "," + (m == markers.end() ? std::string() : std::to_string(m->second)) + "\n";
  }
  return out;
}

}  // namespace velquor::testing
