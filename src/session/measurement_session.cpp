#include "session/measurement_session.h"

#include <cmath>
#include <ctime>
#include <exception>
#include <utility>

#include "daq/device_access.h"
#include "files/data_files.h"
#include "files/save_stamp.h"
#include "files/trial_file_text.h"
#include "measure/cycle_handoff.h"

namespace velquor {

MeasurementSession::MeasurementSession(AcqDriver& driver, SessionParts parts, PacingClock& clock,
                                       const SessionSettings& settings, SessionHost& host,
                                       SessionSaver& saver)
    : driver_(driver),
      parts_(parts),
      settings_(settings),
      host_(host),
      saver_(saver),
      engine_(driver, parts.device, clock) {}

MeasurementSession::~MeasurementSession() {
  engine_.RequestStop();
  engine_.Join();
}

bool MeasurementSession::Start() {
  if (active_) return false;
  MeasurementRecord& rec = parts_.record;
  rec.SampleNo = 0;
  rec.StopFlag = false;
  lastTiming_ = CycleTiming{};
  cycles_ = 0;
  if (engine_.Running()) return false;
  engine_.SetRunSamples(TrialLengthSamples(settings_.trialLengthS, rec.SampInterval));
  StartTrial();
  if (!engine_.Start(rec.SampInterval, static_cast<int>(rec.DataNum))) {
    follower_.reset();
    return false;
  }
  active_ = true;
  parts_.device.measuring = true;
  return true;
}

void MeasurementSession::Stop() {
  parts_.record.StopFlag = true;
  engine_.RequestStop();
}

void MeasurementSession::PassEngineNotices() {
  for (const std::string& n : engine_.TakeNotices()) host_.Notice(n);
}

void MeasurementSession::Drain() {
  // A save written at once hands its outcome back from inside the chain: the cycles after
  // it are taken by the loop already running.
  if (!active_ || draining_) return;
  draining_ = true;
  // The engine hands a cycle over before its run ends, so looking at the end first leaves no
  // cycle finished just before it behind. A cycle waits while the save of the one before is
  // being written: a failed save ends the run with its measurement still in the record.
  const bool ended = !engine_.Running();
  HandleFinishedCycles(
      engine_, parts_.record, [this](const CycleTiming& t) { return CycleHandedOver(t); },
      [this] { return !savePending_; },
      [this](const SampleBlock& b) {
        if (follower_) follower_->Through(b);
      });
  PassEngineNotices();
  PassTrialNews();
  draining_ = false;
  if (ended && !savePending_) EndRun();
}

bool MeasurementSession::CycleHandedOver(const CycleTiming& timing) {
  lastTiming_ = timing;
  host_.CycleTaken(++cycles_, timing);
  AfterCycle();
  return !parts_.record.StopFlag;
}

void MeasurementSession::AfterCycle() {
  MeasurementRecord& rec = parts_.record;
  try {
    if (!Analyse("", cycles_)) {
      rec.StopFlag = true;
    } else {
      if (settings_.autoSave) SaveAutomatically();
      if (settings_.manualSave) {
        rec.SaveFlag = 1;
        rec.StopFlag = true;
        host_.HandOver();
        AdvanceFileNumber(parts_.naming, 1);
        host_.NumberAdvanced(1);
      }
    }
  } catch (const std::exception& e) {
    rec.StopFlag = true;
    host_.InternalError(cycles_, e.what());
  }
  RunJobs();
  host_.CycleFinished(cycles_);
}

bool MeasurementSession::Analyse(const std::string& source, int cycle) {
  recordMixed_ = true;  // until the whole chain has run on this record
  AnalysisOutcome outcome;
  outcome.source = source;
  outcome.cycle = cycle;
  RecordAnalysis out{parts_.series, parts_.kin, parts_.strokes};
  outcome.stop = AnalyseRecord(parts_.record, parts_.calibration, settings_.analysis, out);
  outcome.pushes = std::move(out.pushes);
  host_.Analysed(outcome);
  if (!outcome.Whole()) return false;
  recordMixed_ = false;
  everAnalysed_ = true;
  return true;
}

bool MeasurementSession::AnalyseLoaded(const std::string& source) {
  return Analyse(source, 0);
}

void MeasurementSession::SaveAutomatically() {
  MeasurementRecord& rec = parts_.record;
  rec.SaveFlag = 0;
  MakeFileNames(parts_.naming, 0);
  const SaveOrder order{parts_.naming, 0, &rec, &parts_.series, &parts_.strokes, CurrentStamp()};
  savePending_ = true;
  saver_.Save(order, [this](const Result<PairSaved>& saved, const FileNaming& names) {
    AutoSaveDone(saved, names);
  });
}

void MeasurementSession::AutoSaveDone(const Result<PairSaved>& saved, const FileNaming& names) {
  savePending_ = false;
  MeasurementRecord& rec = parts_.record;
  if (saved.ok()) {
    host_.SaveDone(saved.value(), names);
    if (follower_) {
      const std::int64_t first = follower_->FirstSampleOf(cycles_);
      facts_.cycles.push_back({saved.value().names.BaseName, first, rec.SampleNo});
      // The trial's rows are kept for its file only when Auto Save was on from its start.
      if (facts_.cycles.size() == 1 && trialRows_) OpenTrialFiles(saved.value());
    }
    // The automatic set's number becomes the one used, then the next, whatever set a
    // manual save has made current meanwhile; the host keeps it at once, so a run killed at
    // any moment goes on after it.
    parts_.naming.Auto.Org = saved.value().usedOrg;
    AdvanceFileNumber(parts_.naming, 0);
    host_.NumberAdvanced(0);
  } else {
    // The run ends after this cycle; the measurement stays in memory for a manual save.
    rec.StopFlag = true;
    engine_.RequestStop();
    host_.SaveFailed(saved.problem(), cycles_);
  }
  Drain();
}

void MeasurementSession::EndRun() {
  engine_.Join();
  EndTrial();
  active_ = false;
  parts_.device.measuring = false;
  PassEngineNotices();
  RunEnd end;
  end.cycles = cycles_;
  end.stopRequested = engine_.StopRequested();
  end.fault = engine_.Fault();
  end.lengthReached = !end.stopRequested && !end.fault && settings_.trialLengthS > 0;
  if (end.fault && end.fault->DeviceGone()) {
    // Nothing can be read from a card that is gone: both devices are closed until they are
    // opened again.
    end.aioClosed = CloseAioCard(driver_, parts_.device);
    end.dioClosed = CloseDioCard(driver_, parts_.device);
  }
  host_.RunEnded(end);
  RunJobs();
}

std::optional<std::string> MeasurementSession::WhyNotSaved() const {
  // The cycle being sampled never touches the record, so the one before may be saved at
  // any time; only a record without a whole analysis is refused.
  if (!everAnalysed_) {
    return "nothing has been measured yet; measure a whole cycle, or reload a saved one in "
           "Data View";
  }
  if (recordMixed_) {
    return "the last measurement could not be analysed, so its samples do not match its "
           "results; measure again, or reload a saved one in Data View";
  }
  return std::nullopt;
}

void MeasurementSession::RunBetweenCycles(std::function<void()> job) {
  if (!active_) {
    job();
    return;
  }
  betweenCycles_.push_back(std::move(job));
}

void MeasurementSession::RunJobs() {
  std::vector<std::function<void()>> jobs;
  jobs.swap(betweenCycles_);
  for (const auto& job : jobs) job();
}

std::int64_t TrialLengthSamples(double length_s, double interval_ms) {
  const double dt = interval_ms / 1000;
  if (!(length_s > 0) || !(dt > 0) || !std::isfinite(length_s / dt)) return 0;
  auto n = static_cast<std::int64_t>(std::llround(length_s / dt));
  while (static_cast<double>(n) * dt < length_s) ++n;
  while (n > 1 && static_cast<double>(n - 1) * dt >= length_s) --n;
  return std::max<std::int64_t>(n, 1);
}

void SynchronousSaver::Save(const SaveOrder& order, Done done) {
  FileNaming naming = order.naming;
  const Result<PairSaved> saved =
      SaveDataFiles(naming, order.saveFlag, *order.record, *order.series, *order.strokes,
                    order.stamp, WhenTaken::kNextFreeNumber);
  done(saved, naming);
}

}  // namespace velquor
