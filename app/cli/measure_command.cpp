#include "app/cli/measure_command.h"

#include <chrono>
#include <exception>
#include <functional>

#include "analysis/analyse_record.h"
#include "analysis/result_texts.h"
#include "analysis/strokes.h"
#include "backend/driver_choice.h"
#include "common/path_map.h"
#include "daq/device_access.h"
#include "files/data_files.h"
#include "measure/acquisition_engine.h"
#include "measure/cycle_handoff.h"
#include "measure/cycle_timing.h"
#include "measure/main_window_rules.h"
#include "record/condition.h"
#include "workspace/workspace.h"

namespace velquor::cli {
namespace {

// The after-cycle chain without a window: analysis, the automatic save, one line per cycle
// (and one of timing when asked); false ends the run.
class HeadlessChain {
 public:
  // After every save the number is written to the settings file through `keep_number`, so
  // a run killed at any moment starts again at the next free number.
  HeadlessChain(Workspace& ws, const StrokeConditions& cond, const MeasureOptions& o,
                std::function<void()> keep_number, std::ostream& out, std::ostream& err)
      : ws_(ws), cond_(cond), o_(o), keep_number_(std::move(keep_number)), out_(out), err_(err) {}

  bool operator()(const CycleTiming& timing) {
    ++done_;
    if (o_.timing) out_ << TimingLine(timing) << std::endl;
    if (auto late = LateSamplesNotice(timing)) {
      ReportNotice(err_, Problem{"", 0, 0, "cycle " + std::to_string(done_) + ": " + *late});
    }
    try {
      if (!SaveCycle()) return false;
    } catch (const std::exception& e) {
      return Fail(Problem{"", 0, 0,
                          "cycle " + std::to_string(done_) + " was stopped by an internal error (" +
                              e.what() + "); the run stops here"});
    }
    return done_ < o_.cycles;
  }

  bool failed() const { return failed_; }

 private:
  // Analyses and saves the cycle in the record; false (reported) when either failed.
  bool SaveCycle() {
    if (Status s = Analyse(); !s) {
      return Fail(Problem{"", 0, 0, "cycle " + std::to_string(done_) + ": " + s.problem().what});
    }
    ws_.record.SaveFlag = 0;
    auto saved = SaveDataFiles(ws_.naming, 0, ws_.record, ws_.series, ws_.strokes, CurrentStamp(),
                               WhenTaken::kNextFreeNumber);
    if (!saved) {
      Problem p = saved.problem();
      p.what += "; the measurement of cycle " + std::to_string(done_) +
                " is not saved, so the run stops here";
      return Fail(p);
    }
    for (const Problem& p : saved.value().notices) ReportNotice(err_, p);
    AdvanceFileNumber(ws_.naming, 0);
    keep_number_();
    const MainResultTexts main = ShowMainResults(ws_.kin);
    out_ << "cycle " << done_ << ": "
         << (saved.value().renumbered ? saved.value().Describe()
                                      : "wrote " + ToNativePath(saved.value().names.DatFilePath) +
                                            " and " + ToNativePath(saved.value().names.CsvFilePath))
         << "; " << ws_.strokes.StrokeCount
         << (ws_.strokes.StrokeCount == 1 ? " stroke" : " strokes") << "; mean speed ch0 "
         << main.txtSpeedAv[0] << " ch1 " << main.txtSpeedAv[1] << " m/s" << std::endl;
    return true;
  }
  Status Analyse() {
    RecordAnalysis out{ws_.series, ws_.kin, ws_.strokes};
    if (auto stop = AnalyseRecord(ws_.record, ws_.calibration, {false, cond_, std::nullopt}, out)) {
      return stop->problem;
    }
    return Status::Ok();
  }
  bool Fail(const Problem& p) {
    ReportProblem(err_, p);
    failed_ = true;
    return false;
  }

  Workspace& ws_;
  StrokeConditions cond_;
  const MeasureOptions& o_;
  std::function<void()> keep_number_;
  std::ostream& out_;
  std::ostream& err_;
  int done_ = 0;
  bool failed_ = false;
};

void ReportDevice(std::ostream& err, const DeviceOutcome& d) {
  if (!d.note.empty()) ReportNotice(err, Problem{"", 0, 0, d.note});
  if (!d.notice.empty()) ReportProblem(err, Problem{"", 0, 0, d.notice});
}

}  // namespace

int RunMeasure(const MeasureOptions& o, const CliPaths& paths,
               const volatile std::sig_atomic_t& interrupted, std::ostream& out,
               std::ostream& err) {
  StartupFiles start = LoadStartupFiles(paths, err, true);
  auto ws = Workspace::Make();
  ws->calibration = start.calibration;

  // The condition as the main window would hold it: interval and data number from the
  // settings file or the options, the sampling time derived from them.
  const std::string interval = o.interval.value_or(start.settings.txtTimerInterval);
  const std::string samples = o.samples.value_or(start.settings.txtDataNum);
  const std::string samp_time = SampTimeText(interval, samples).value_or("");
  if (auto bad = EvaluateConditionTexts(interval, samples, samp_time)) {
    err << "velquor-cli: " << bad->message
        << (o.interval || o.samples ? "" : " (the condition comes from " + paths.settings + ")")
        << "\n";
    return 2;
  }
  ReadCondition(ws->record, interval, samples, samp_time);

  auto driver = ChooseDriver(o.daq);
  if (!driver) {
    ReportProblem(err, driver.problem());
    return driver.problem().file.empty() ? 2 : 1;
  }
  const CardSettingTexts card;
  const DeviceOutcome aio = OpenAioCard(*driver.value(), ws->device, card);
  const DeviceOutcome dio = OpenDioCard(*driver.value(), ws->device, card);
  ReportDevice(err, aio);
  ReportDevice(err, dio);
  if (!aio.lampGreen || !dio.lampGreen) {
    err << "velquor-cli: the devices of " << driver.value()->Describe()
        << " could not be opened; nothing was measured\n";
    return 1;
  }

  ws->naming.Auto = {
      start.settings.txtFileDir, start.settings.txtFileHead, start.settings.txtFileOrg, "", "", ""};
  ws->naming.Manual = {start.settings.txtFileDir_Man,
                       start.settings.txtFileHead_Man,
                       start.settings.txtFileOrg_Man,
                       "",
                       "",
                       ""};
  MakeFileNames(ws->naming, 0);
  const StrokeConditions cond = ReadStrokeConditions(
      start.settings.txtStartPosCond, start.settings.txtLimitCond, JudgeChannel::kAuto);

  int status = 0;
  // Writes the settings with the current number; false (reported) when they could not be.
  auto write_settings = [&] {
    if (!start.settingsWritable) return;
    start.settings.txtFileOrg = ws->naming.Auto.Org;
    auto saved = SaveSettings(start.settings, paths.settings);
    if (!saved) {
      ReportProblem(err, saved.problem());
      status = 1;
    } else {
      for (const Problem& p : saved.value()) ReportNotice(err, p);
    }
  };
  HeadlessChain chain(*ws, cond, o, write_settings, out, err);
  SystemPacingClock clock;
  AcquisitionEngine engine(*driver.value(), ws->device, clock);
  engine.Start(ws->record.SampInterval, static_cast<int>(ws->record.DataNum));
  bool stopped_by_user = false;
  auto notices = [&] {
    for (const std::string& n : engine.TakeNotices()) ReportNotice(err, Problem{"", 0, 0, n});
  };
  // Ctrl-C is the Stop button: looked at every 50 ms while the cycles are sampled.
  while (engine.Running()) {
    engine.WaitForCycle(std::chrono::milliseconds(50));
    notices();
    if (interrupted != 0 && !engine.StopRequested()) {
      engine.RequestStop();
      stopped_by_user = true;
    }
    HandleFinishedCycles(engine, ws->record, std::ref(chain));
  }
  engine.Join();
  // Cycles finished just before the run ended by itself (a failed read) are still saved.
  if (!engine.StopRequested()) HandleFinishedCycles(engine, ws->record, std::ref(chain));
  notices();
  const std::optional<ReadFault> fault = engine.Fault();
  if (fault) ReportProblem(err, Problem{"", 0, 0, fault->Describe()});
  // A replay that ran past the end of its file says so once.
  if (const std::string note = driver.value()->TakeNotice(); !note.empty()) {
    ReportNotice(err, Problem{"", 0, 0, note});
  }
  if (stopped_by_user) err << "velquor-cli: stopped; the cycle under way was not saved\n";
  ReportDevice(err, CloseAioCard(*driver.value(), ws->device));
  ReportDevice(err, CloseDioCard(*driver.value(), ws->device));

  // A run that ended without being asked to (a device read that failed) has said why.
  if (chain.failed() || fault || !engine.StopRequested()) status = 1;
  write_settings();
  return status;
}

}  // namespace velquor::cli
