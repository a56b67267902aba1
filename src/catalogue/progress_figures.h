// The progress of one participant over sessions, from the catalogue's trial rows: per session in
// date order and per chosen figure, the mean and SD of the session's steady pushes on each
// wheel, and its change from the first session judged against the minimal detectable change.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/catalogue_row.h"
#include "common/result.h"
#include "files/mdc_settings.h"

namespace velquor {

inline constexpr std::string_view kPushFrequencyFigure = "push_frequency_per_min";
// The figures followed when none are chosen.
inline constexpr std::array<std::string_view, 5> kDefaultProgressFigures = {
    kPushFrequencyFigure, "contact_angle_deg", "peak_torque_Nm", "rate_of_rise_Nm_per_s",
    "smoothness"};

// What one trial gives to a session's figure: the count, mean and SD (n - 1) of its values.
struct FigurePart {
  int n = 0;
  double mean = 0;
  std::optional<double> sd;  // none for a single value
};

struct Pooled {
  int n = 0;
  std::optional<double> mean, sd;
};

// The mean and SD (n - 1) of all the parts' values taken together, from their counts, means and
// SDs alone; a single part exactly as it stands. No SD below two values, nor when a part of two
// or more values lacks its SD.
Pooled PoolParts(const std::vector<FigurePart>& parts);

// The mean and SD (n - 1) of values such as the trials' push frequencies.
Pooled PoolValues(const std::vector<double>& values);

enum class Judgement { kReference, kNotJudged, kWithin, kBeyond };

// A change from the reference is within the minimal detectable change when its size is at most
// the MDC (a difference below the last digits a double carries counts as none), beyond when
// larger; without an MDC it is not judged.
Judgement Judge(double reference, double value, std::optional<double> mdc);
std::string_view JudgementText(Judgement j);  // "reference", "", "within", "beyond"

// The instant of an ISO 8601 time with its offset ("2026-12-07T14:03:05+09:00", "...Z"; none
// means UTC) in seconds since 1970 UTC; nothing for a text that is not one.
std::optional<std::int64_t> InstantOf(std::string_view iso);

struct WheelFigure {
  Pooled pooled;
  std::optional<double> change;  // from the first session's mean, where both have one
  Judgement judgement = Judgement::kNotJudged;
};

struct SessionProgress {
  std::string session;  // its label
  std::string started;  // the start of its first trial
  int trials = 0;
  std::array<int, 2> steady{};                      // steady pushes on each wheel
  std::vector<std::array<WheelFigure, 2>> figures;  // in the order of the chosen figures
};

struct ProgressFigures {
  std::vector<std::string> figures;
  std::vector<SessionProgress> sessions;  // in date order; the first is the reference
  int trials = 0;                         // in the sessions
  // Trials left out, each "trial STEM has no session" or "... is not complete".
  std::vector<std::string> leftOut;
};

// From trial rows of one participant (as ListTrials gives them), for the figures given (none:
// the default ones). A figure no session summary holds is a problem naming it. A trial of no
// session has no place among the sessions, and one left incomplete (its run was killed and not
// yet completed) has no summary to trust: both are left out, and listed.
Result<ProgressFigures> SessionProgressOf(const std::vector<CatalogueRow>& rows,
                                          std::vector<std::string> figures, const MdcSettings& mdc);

}  // namespace velquor
