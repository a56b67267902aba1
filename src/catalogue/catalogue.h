// The study catalogue of a directory: velquor-catalogue.sqlite beside the saved files, one row
// per trial and per cycle pair. The files stay the truth: the catalogue is written as each
// trial is saved, can be rebuilt from the files at any time, and one that cannot be read is
// kept aside and rebuilt.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "analysis/push_analysis.h"
#include "catalogue/catalogue_row.h"
#include "common/result.h"
#include "record/study_label.h"
#include "record/trial_facts.h"

namespace velquor {

inline constexpr std::string_view kCatalogueName = "velquor-catalogue.sqlite";

// What a catalogue step did and where (for the notice log), and what the operator should know
// besides: a catalogue kept aside and rebuilt, files under the directory that could not be read.
struct CatalogueNews {
  std::string done;
  std::vector<Problem> notices;
  int unreadableFiles = 0;  // trial documents left out of a scan
  int added = 0, changed = 0, removed = 0;
};

// A directory as stored ("\" separators) in local form; the empty one, which the settings
// use for the working directory, is ".".
std::string CatalogueDir(const std::string& stored);

// After the trial's files are written into `save_dir` (stored form): its row, and the rows of
// its cycles' pairs that are there, in one transaction.
Result<CatalogueNews> RecordTrial(const std::string& save_dir, const TrialFacts& facts,
                                  const PushAnalysis& pushes, bool complete = true);

// After a pair is written into `save_dir`: its row; `trial` is the stem of the trial it belongs
// to, empty for none.
Result<CatalogueNews> RecordPair(const std::string& save_dir, const std::string& stem,
                                 const std::string& trial);

// Makes the catalogue of `dir` what the trial documents and pairs under it say: rows added,
// changed and removed so that a second scan changes nothing.
Result<CatalogueNews> ScanCatalogue(const std::string& dir);

struct TrialList {
  std::vector<CatalogueRow> rows;  // participant, session, start order
  std::vector<Problem> notices;
};

// The trials of the catalogue of `dir` whose labels equal those given (an empty label: any).
// A directory without a catalogue is a problem that says how to make one.
Result<TrialList> ListTrials(const std::string& dir, const StudyLabels& filter);

}  // namespace velquor
