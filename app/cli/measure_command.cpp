#include "app/cli/measure_command.h"

#include <chrono>
#include <exception>
#include <functional>
#include <thread>

#include "analysis/kinematics.h"
#include "analysis/result_texts.h"
#include "analysis/strokes.h"
#include "common/workspace.h"
#include "daq/device_access.h"
#include "daq/driver_choice.h"
#include "files/data_files.h"
#include "measure/condition.h"
#include "measure/main_loop.h"
#include "measure/main_window_rules.h"

namespace velquor::cli {
namespace {

// The loop's host without a window: no lamps, no buttons, Ctrl-C as the Stop button.
class HeadlessHost : public LoopHost {
 public:
  // After every save the number is written to the settings file through `keep_number`, so
  // a run killed at any moment starts again at the next free number.
  HeadlessHost(Workspace& ws, const StrokeConditions& cond, int cycles,
               const volatile std::sig_atomic_t& interrupted, std::function<void()> keep_number,
               std::ostream& out, std::ostream& err)
      : ws_(ws),
        cond_(cond),
        cycles_(cycles),
        interrupted_(interrupted),
        keep_number_(std::move(keep_number)),
        out_(out),
        err_(err) {}

  void ProcessEvents() override {
    if (interrupted_ != 0 && !ws_.record.StopFlag) {
      ws_.record.StopFlag = true;
      stopped_by_user_ = true;
    }
    std::this_thread::yield();  // the poll is busy; let the other programs of the machine run
  }
  std::uint32_t ClockMs() override {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start_);
    return static_cast<std::uint32_t>(ms.count());
  }
  void SetTimerLamp(Rgb) override {}
  void SetStartStop(bool, bool) override {}

  void AfterCycle() override {
    ++done_;
    try {
      SaveCycle();
    } catch (const std::exception& e) {
      Fail(Problem{"", 0, 0,
                   "cycle " + std::to_string(done_) + " was stopped by an internal error (" +
                       e.what() + "); the run stops here"});
    }
    if (done_ >= cycles_) ws_.record.StopFlag = true;
  }

  bool failed() const { return failed_; }
  bool stoppedByUser() const { return stopped_by_user_; }

 private:
  void SaveCycle() {
    if (Status s = Analyse(); !s) {
      Fail(Problem{"", 0, 0, "cycle " + std::to_string(done_) + ": " + s.problem().what});
      return;
    }
    ws_.record.SaveFlag = 0;
    auto saved = SaveDataFiles(ws_.naming, 0, ws_.record, ws_.series, ws_.strokes, CurrentStamp(),
                               WhenTaken::kNextFreeNumber);
    if (!saved) {
      Problem p = saved.problem();
      p.what += "; the measurement of cycle " + std::to_string(done_) +
                " is not saved, so the run stops here";
      Fail(p);
      return;
    }
    for (const Problem& p : saved.value().notices) ReportNotice(err_, p);
    AdvanceFileNumber(ws_.naming, 0);
    keep_number_();
    const MainResultTexts main = ShowMainResults(ws_.kin);
    out_ << "cycle " << done_ << ": "
         << (saved.value().renumbered ? saved.value().Describe()
                                      : "wrote " + saved.value().names.DatFilePath + " and " +
                                            saved.value().names.CsvFilePath)
         << "; " << ws_.strokes.StrokeCount
         << (ws_.strokes.StrokeCount == 1 ? " stroke" : " strokes") << "; mean speed ch0 "
         << main.txtSpeedAv[0] << " ch1 " << main.txtSpeedAv[1] << " m/s" << std::endl;
  }
  Status Analyse() {
    if (Status s = CalcKinematics(ws_.record, ws_.calibration, false, ws_.series, ws_.kin); !s) {
      return s;
    }
    return CalcStrokes(cond_, ws_.record, ws_.series, ws_.kin, ws_.strokes);
  }
  void Fail(const Problem& p) {
    ReportProblem(err_, p);
    failed_ = true;
    ws_.record.StopFlag = true;
  }

  Workspace& ws_;
  StrokeConditions cond_;
  int cycles_;
  const volatile std::sig_atomic_t& interrupted_;
  std::function<void()> keep_number_;
  std::ostream& out_;
  std::ostream& err_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  int done_ = 0;
  bool failed_ = false;
  bool stopped_by_user_ = false;
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
  HeadlessHost host(*ws, cond, o.cycles, interrupted, write_settings, out, err);
  TimerRecord timer;
  ws->record.SampleNo = 0;
  MainLoop({ws->record, ws->device, timer, *driver.value()}, host);
  // A replay that ran past the end of its file says so once.
  if (const std::string note = driver.value()->TakeNotice(); !note.empty()) {
    ReportNotice(err, Problem{"", 0, 0, note});
  }
  if (host.stoppedByUser()) err << "velquor-cli: stopped; the cycle under way was not saved\n";
  ReportDevice(err, CloseAioCard(*driver.value(), ws->device));
  ReportDevice(err, CloseDioCard(*driver.value(), ws->device));

  if (host.failed()) status = 1;
  write_settings();
  return status;
}

}  // namespace velquor::cli
