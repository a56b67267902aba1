#include "app/cli/measure_command.h"

#include <chrono>

#include "analysis/strokes.h"
#include "app/cli/measure_host.h"
#include "backend/driver_choice.h"
#include "common/number_text.h"
#include "daq/device_access.h"
#include "measure/main_window_rules.h"
#include "record/condition.h"
#include "session/measurement_session.h"
#include "workspace/workspace.h"

namespace velquor::cli {
namespace {

// 1 when anything failed; 128 + the number of the signal that stopped the run before its
// cycles were all done, as a shell reports a program ended by it; else 0.
int ExitStatus(bool failed, int stop_signal, bool all_done) {
  if (failed) return 1;
  if (stop_signal != 0 && !all_done) return 128 + stop_signal;
  return 0;
}

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
  // A trial replayed is measured at its own interval unless --interval says otherwise.
  if (const auto recorded = driver.value()->RecordedIntervalMs(); recorded && !o.interval) {
    const std::string replayed = PlainForm(*recorded);
    const std::string replayed_time = SampTimeText(replayed, samples).value_or("");
    if (auto bad = EvaluateConditionTexts(replayed, samples, replayed_time)) {
      err << "velquor-cli: the interval of the trial replayed, " << replayed
          << " ms, cannot be used: " << bad->message << "\n";
      return 2;
    }
    ReadCondition(ws->record, replayed, samples, replayed_time);
    err << "velquor-cli: notice: measuring at the interval of the trial replayed, " << replayed
        << " ms, for its " << driver.value()->RecordedSamples() << " samples\n";
  }
  AcqDriver& daq = *driver.value();
  const DeviceOutcome aio = OpenAioCard(daq, ws->device, CardSettingTexts{});
  const DeviceOutcome dio = OpenDioCard(daq, ws->device, CardSettingTexts{});
  ReportDevice(err, aio);
  ReportDevice(err, dio);
  if (!aio.lampGreen || !dio.lampGreen) {
    err << "velquor-cli: the devices of " << daq.Describe()
        << " could not be opened; nothing was measured\n";
    return 1;
  }
  const Settings& s = start.settings;
  ws->naming.Auto = {s.txtFileDir, s.txtFileHead, s.txtFileOrg, "", "", ""};
  ws->naming.Manual = {s.txtFileDir_Man, s.txtFileHead_Man, s.txtFileOrg_Man, "", "", ""};
  MakeFileNames(ws->naming, 0);
  SessionSettings settings;
  settings.autoSave = true;
  settings.analysis = {false,
                       ReadStrokeConditions(s.txtStartPosCond, s.txtLimitCond, JudgeChannel::kAuto),
                       std::nullopt};
  settings.trialLengthS = o.trialLength.value_or(0);
  settings.who = o.who;
  settings.trialPushes = s.push;

  CliHost host(*ws, o, start, paths, out, err);
  SynchronousSaver saver;
  SystemPacingClock clock;
  MeasurementSession session(
      daq, {ws->record, ws->device, ws->series, ws->kin, ws->strokes, ws->calibration, ws->naming},
      clock, settings, host, saver);
  host.session = &session;
  session.SetMarkerTimes(o.markerAt);
  if (!session.Start()) return 1;  // a run of this session is going: cannot happen here
  int stop_signal = 0;             // the signal that stopped the run, 0 when none did
  // Ctrl-C (or SIGTERM) is the Stop button: looked at every 50 ms while the cycles are sampled.
  while (session.Running()) {
    session.WaitForCycle(std::chrono::milliseconds(50));
    if (interrupted != 0 && !session.StopRequested()) {
      session.Stop();
      stop_signal = interrupted;
    }
    session.Drain();
  }
  if (host.end->fault) ReportProblem(err, Problem{"", 0, 0, host.end->fault->Describe()});
  // A replay that ran past the end of its file says so once.
  if (const std::string note = daq.TakeNotice(); !note.empty()) host.Notice(note);
  if (stop_signal != 0) err << "velquor-cli: stopped; the cycle under way was not saved\n";
  // A card that is gone has had both devices closed by the session already.
  ReportDevice(err, host.end->aioClosed ? *host.end->aioClosed : CloseAioCard(daq, ws->device));
  ReportDevice(err, host.end->dioClosed ? *host.end->dioClosed : CloseDioCard(daq, ws->device));
  host.KeepSettings();
  // A run that ended without being asked to (a device read that failed) has said why.
  return ExitStatus(
      host.failed || host.end->fault || !(host.end->stopRequested || host.end->lengthReached),
      stop_signal, host.AllDone());
}

}  // namespace velquor::cli
