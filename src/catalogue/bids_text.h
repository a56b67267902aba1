// The texts of a motion dataset exported in the brain-imaging data structure (BIDS, with its
// motion extension): the names of a trial's files, the dataset description, the participants
// table, and per trial its samples, channel table, sidecar, events and the session's scans.
#pragma once

#include <string>
#include <vector>

#include "analysis/trial_series.h"
#include "catalogue/trial_document.h"
#include "record/study_label.h"

namespace velquor {

// The name of the tracking system in the file names: "tracksys-velquor".
inline constexpr const char* kTrackSys = "velquor";

// A trial's place in the dataset.
struct BidsRun {
  StudyLabels who;  // all three set
  int run = 1;      // 1.. among the trials of the participant, session and task, by start
};

// "sub-P/ses-S" and "sub-P_ses-S".
std::string BidsSessionFolder(const StudyLabels& who);
std::string BidsSessionPrefix(const StudyLabels& who);

// "sub-P_ses-S_task-T_tracksys-velquor_run-N" (without its suffix).
std::string BidsRunStem(const BidsRun& run);

std::string BidsDatasetDescription(const std::string& version);
std::string BidsParticipants(const std::vector<std::string>& participants);

// The channels, one row each in this order: torque, wheel angle and speed, left wheel first;
// and their sidecar, which describes the wheel's frame the angles and speeds are given in.
std::string BidsChannels();
std::string BidsChannelsSidecar();

// The descriptions of the events' and the scans' own columns, for the dataset's root (every
// run's events and every session's scans inherit them), and the dataset's README.
std::string BidsEventsSidecar();
std::string BidsScansSidecar();
std::string BidsReadme(const std::string& version);

// One row per sample, no header, the channels' columns in their order; "n/a" where a value
// is missing (the speed of the first sample).
std::string BidsMotion(const TrialSeries& series);

std::string BidsMotionSidecar(const CatalogueTrial& doc, const std::string& version);

// The pushes of both wheels (onset, duration) and the markers, in onset order; the onsets are
// seconds from the first sample.
std::string BidsEvents(const CatalogueTrial& doc);

// "2026-12-07T05:03:05Z" for "2026-12-07T14:03:05+09:00"; "n/a" for a time that is not of
// that form.
std::string BidsAcqTime(const std::string& started);

struct BidsScan {
  std::string filename;  // relative to the session folder, "motion/..._motion.tsv"
  std::string acq_time;
  std::string trial;  // the stem of the trial's own files
};
std::string BidsScans(const std::vector<BidsScan>& scans);

}  // namespace velquor
