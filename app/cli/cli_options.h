// The command line of velquor-cli: which command, its options and files, or a usage error
// that says what is wrong, read with its option table. Nothing here touches a file or a device.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "analysis/push_parameters.h"
#include "analysis/series.h"
#include "common/result.h"
#include "record/study_label.h"

namespace velquor::cli {

// The stroke conditions and torque offset a command analyses saved files with.
struct StrokeOptions {
  std::optional<std::string> start;  // "From" (s), instead of the settings file's
  std::optional<std::string> limit;  // "Less than" (Nm), instead of the settings file's
  JudgeChannel channel = JudgeChannel::kAuto;
  bool shift = false;  // torque without the calibration offset
};

struct ReanalyseOptions : StrokeOptions {
  std::optional<std::string> outDir;  // write the pair again under its stem here
  std::optional<std::string> pngDir;  // write the eight graphs as PNG pictures here
  bool overwrite = false;             // --out may replace an existing pair (never the input)
  bool json = false;                  // JSON instead of tables (several files: an array)
  std::vector<std::string> files;     // summary files, *_dat.csv
};

// Texts of --threshold ... --skip-last, already checked, instead of the settings file's, and
// of --from and --to, the summary window (which the settings file leaves open).
struct PushParameterTexts {
  std::array<std::optional<std::string>, kPushParameterCount> numbers;
  std::array<std::optional<std::string>, 2> window;  // from_s, to_s
};

struct ReportOptions : StrokeOptions {
  std::string pdf;                 // the report file to write
  bool overwrite = false;          // replace an existing report file
  PushParameterTexts parameters;   // the push analysis's, as for pushes
  std::vector<std::string> files;  // summary files, *_dat.csv
};

struct MeasureOptions {
  int cycles = 1;
  std::string daq;                      // backend spelling, e.g. "sim:7"
  std::optional<std::string> interval;  // Timer Interval text (ms), instead of the settings'
  std::optional<std::string> samples;   // Data Number text, instead of the settings'
  bool timing = false;                  // one line per cycle on how the samples kept their ticks
  bool cyclesGiven = false;             // --cycles was given (else one, or as long as the trial)
  std::optional<double> trialLength;    // s: the run ends with the cycle that reaches it
  std::vector<double> markerAt;         // trial times (s) to place markers at
  bool livePushes = false;              // a JSON line on stdout per push as it becomes final
  StudyLabels who;                      // written into the trial's document
};

struct PushesOptions {
  bool json = false;                  // one JSON object per file instead of tables
  std::optional<std::string> csvDir;  // write STEM_pushes.csv per file here
  PushParameterTexts parameters;
  std::vector<std::string> files;  // summary files, *_dat.csv
};

struct FeedbackOptions {
  bool print = false;  // print the targets in force
};

struct CatalogueOptions {
  std::string action;              // "scan" or "list"
  std::optional<std::string> dir;  // scan: required; list: the Auto Save directory when not given
  StudyLabels filter;              // list: only trials with these labels (empty: any)
  bool json = false;               // list: one JSON array of every column
};

struct ExportBidsOptions {
  std::string out;                 // the dataset's root
  std::optional<std::string> dir;  // the catalogued directory; the Auto Save one when not given
  std::vector<std::string> participants;  // only these; all when none
};

struct ProgressOptions {
  std::string participant;           // whose sessions
  std::string task;                  // only trials of this task; empty: every task
  std::vector<std::string> figures;  // in the order given; none: the default five
  std::string pdf;                   // the report file to write
  bool overwrite = false;            // replace an existing report file
  std::optional<std::string> dir;    // the catalogued directory; the Auto Save one when not given
};

enum class Command {
  kNone,
  kReanalyse,
  kMeasure,
  kPushes,
  kReport,
  kFeedback,
  kCatalogue,
  kProgress,
  kExportBids
};

struct Invocation {
  Command command = Command::kNone;
  bool help = false;      // --help: print the command's usage and do nothing else
  bool version = false;   // --version: print the program's version and do nothing else
  bool complete = false;  // --complete: print the command's completion words and nothing else
  ReanalyseOptions reanalyse;
  MeasureOptions measure;
  PushesOptions pushes;
  ReportOptions report;
  FeedbackOptions feedback;
  CatalogueOptions catalogue;
  ProgressOptions progress;
  ExportBidsOptions exportBids;
};

// args without the program name. A problem is a usage error (exit status 2).
Result<Invocation> ParseCommandLine(std::span<const std::string> args);

// Whether this build can draw graphs as pictures and reports (it needs the Qt drawing
// library).
bool CanWritePictures();

// The usage text of a command (kNone: the tool as a whole), ending in a line feed.
std::string Usage(Command command);

// For the bash completion, one per line: the commands and the tool's options (kNone), or a
// command's options, each with the name of its value when it takes one ("--out DIR").
std::string Completion(Command command);

}  // namespace velquor::cli
