// What a summary file says about its measurement beside the numbers: the stem it was saved
// under, the date and time of the save, the program tag and the note of its first stroke row.
#pragma once

#include <string>
#include <string_view>

#include "files/save_stamp.h"

namespace velquor {

struct SummaryFacts {
  std::string stem;
  std::string date;  // "MM-DD-YYYY"
  std::string time;  // "hh:mm:ss"
  std::string program;
  std::string note;
};

// Taken from the first stroke row of the summary text (UTF-8) by position; a field the text
// does not hold stays empty. The note is everything after the last figure of
// the row, commas included, and is read only from the layouts whose tag this program knows.
SummaryFacts ReadSummaryFacts(std::string_view summary);

// The measuring condition of the first stroke row, as written: the sampling interval (ms)
// and the number of samples; both empty for a layout whose tag this program does not know.
struct SummaryCondition {
  std::string interval;
  std::string samples;
};
SummaryCondition ReadSummaryCondition(std::string_view summary);

// What a list of saved measurements shows of one: its facts and its condition.
struct SummaryListing {
  SummaryFacts facts;
  SummaryCondition condition;
};
SummaryListing LoadSummaryListing(const std::string& dat_path);

// The stem a summary file was saved under: its name without directory and "_dat.csv"
// ("dat.csv" when there is no "_").
std::string SummaryStem(std::string_view dat_path);

// The facts of the summary file at `dat_path` (stored form). A file without a stroke row
// gives its own stem, and the date and time it was last written, marked as such; a file
// that cannot be read gives its stem alone.
SummaryFacts LoadSummaryFacts(const std::string& dat_path);

}  // namespace velquor
