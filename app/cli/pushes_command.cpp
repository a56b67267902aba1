#include "app/cli/pushes_command.h"

#include <vector>

#include "analysis/push_forms.h"
#include "analysis/push_json.h"
#include "analysis/push_pair_forms.h"
#include "analysis/push_pairs.h"
#include "analysis/trial_pushes.h"
#include "app/cli/reanalyse_command.h"
#include "common/json_text.h"
#include "files/push_csv_file.h"
#include "files/trial_file_reader.h"

namespace velquor::cli {
namespace {

// A trial's per-sample file read back with the calibration in force (notices to `err`), and
// analysed as one record.
Result<PushAnalysis> TrialPushesOf(const std::string& file, const PushParameters& p,
                                   const StartupFiles& start, std::ostream& err) {
  auto trial = LoadTrialCsv(file, start.calibration, false);
  if (!trial) return trial.problem();
  for (const Problem& n : trial.value().notices) ReportNotice(err, n);
  auto a = AnalyseTrial(*trial.value().series, p);
  if (!a) return Problem{file, 0, 0, a.problem().what};
  return a;
}

// Analyses one file; gives its tables or its JSON object, or writes its CSV and says where.
Result<std::string> Pushes(const std::string& file, const PushesOptions& o, const PushParameters& p,
                           const StartupFiles& start, std::ostream& err) {
  const bool trial = IsTrialCsvPath(file);
  std::optional<PushAnalysis> analysed;
  if (trial) {
    auto a = TrialPushesOf(file, p, start, err);
    if (!a) return a.problem();
    analysed = std::move(a.value());
  } else {
    auto a = ReloadMeasurement(file, start, AnalysisChoice{false, std::nullopt, p}, err);
    if (!a) return a.problem();
    analysed = *a.value().pushes;
  }
  const PushAnalysis& pushes = *analysed;
  if (o.json) return PushJson(file, pushes);
  if (o.csvDir) {
    const std::string stem = *o.csvDir + "\\" + (trial ? TrialStem(file) + "_trial" : StemOf(file));
    const std::string path = stem + "_pushes.csv";
    if (Status s = WritePushCsvFile(path, PushCsv(file, pushes)); !s) return s.problem();
    const std::string pairs = stem + "_pairs.csv";
    if (Status s = WritePushCsvFile(pairs, PairsCsv(file, PairPushes(pushes))); !s) {
      return s.problem();
    }
    return "wrote " + path + "\nwrote " + pairs + "\n";
  }
  return PushTables(file, pushes);
}

}  // namespace

Result<PushParameters> ChosenPushParameters(const PushParameterTexts& texts,
                                            const PushParameters& settings) {
  PushParameters p = settings;
  for (int k = 0; k < kPushParameterCount; ++k) {
    const auto& text = texts.numbers.at(static_cast<std::size_t>(k));
    if (!text) continue;
    if (Status st = SetPushParameter(p, static_cast<PushParameter>(k), *text); !st) {
      return st.problem();
    }
  }
  for (const SummaryBound which : {SummaryBound::kFrom, SummaryBound::kTo}) {
    const auto& text = texts.window.at(static_cast<std::size_t>(which));
    if (!text) continue;
    if (Status st = SetSummaryBound(p, which, *text); !st) return st.problem();
  }
  return p;
}

int RunPushes(const PushesOptions& o, const CliPaths& paths, std::ostream& out, std::ostream& err) {
  const StartupFiles start = LoadStartupFiles(paths, err);
  const Result<PushParameters> p = ChosenPushParameters(o.parameters, start.settings.push);
  if (!p) {
    ReportProblem(err, p.problem());
    return 2;
  }
  int status = 0;
  std::vector<std::string> done;
  for (const std::string& file : o.files) {
    Result<std::string> text = Pushes(file, o, p.value(), start, err);
    if (!text) {
      ReportProblem(err, text.problem());
      status = 1;
    } else if (o.json) {
      done.push_back(text.value());
    } else {
      out << (done.empty() || o.csvDir ? "" : "\n") << text.value();
      done.push_back({});
    }
  }
  if (o.json && !done.empty()) {
    out << (o.files.size() == 1 ? done.front() : JsonArray(done)) << "\n";
  }
  return status;
}

}  // namespace velquor::cli
