// The minimal detectable changes the operator has set per figure: a line of their own in the
// settings file, "MDC" and pairs of figure name and change, by which a progress report judges.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"

namespace velquor {

// The change in a figure's own unit below which a difference between sessions is not taken
// as real.
struct Mdc {
  std::string figure;  // push_frequency_per_min or a summarised push figure's name
  double change = 0;   // greater than 0
  bool operator==(const Mdc&) const = default;
};

// In the order set; a figure at most once. None by default.
struct MdcSettings {
  std::vector<Mdc> items;

  // The change set for the figure, nothing when none is.
  std::optional<double> For(std::string_view figure) const;
  bool operator==(const MdcSettings&) const = default;
};

// Whether a change can be set for the figure: push frequency or a figure summarised over the
// steady pushes.
bool IsMdcFigure(std::string_view name);

// The line after the fixed ones of the settings file that begins with "MDC". A file without it
// keeps `s` empty without a word; a pair whose figure is unknown or set twice, or whose change
// is not a number above 0, is dropped with a notice naming the line and field.
void ReadMdcSettings(std::string_view text, const std::string& file, MdcSettings& s,
                     std::vector<Problem>& notices);

// "\"MDC\",push_frequency_per_min,4,contact_angle_deg,5" and CR LF; "" when none is set.
std::string MdcSettingsLine(const MdcSettings& s);

}  // namespace velquor
