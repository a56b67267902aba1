// The trial side of a measurement session: the follower started with the run, its news
// passed to the host, and the trial's files asked of the saver.
#include <algorithm>
#include <ctime>
#include <utility>

#include "catalogue/catalogue.h"
#include "files/trial_file_text.h"
#include "session/measurement_session.h"

namespace velquor {
namespace {

// The JSON document is rewritten at most this often while the run goes.
constexpr std::chrono::seconds kCheckpointEvery{4};

}  // namespace

void MeasurementSession::StartTrial() {
  const MeasurementRecord& rec = parts_.record;
  const Calibration& cal = parts_.calibration;
  facts_ = TrialFacts{};
  facts_.started = IsoLocalTime(std::time(nullptr));
  facts_.who = settings_.who;
  facts_.interval_ms = rec.SampInterval;
  facts_.ka1 = cal.Ka1;
  facts_.ka0 = cal.Ka0;
  facts_.shift = settings_.analysis.shift;
  pendingRows_.clear();
  trialFiles_ = false;
  trialRows_ = settings_.autoSave;
  lastTrial_.reset();
  follower_ = std::make_unique<TrialFollower>(
      engine_, rec.SampInterval, cal, settings_.analysis.shift,
      settings_.analysis.pushes.value_or(settings_.trialPushes), trialRows_, wake_);
  follower_->MarkAt(markerTimes_);
  if (Status s = follower_->Start(); !s) {
    host_.Notice("The run is not followed as a trial: " + s.problem().Describe());
    follower_.reset();
  }
}

void MeasurementSession::PassTrialNews() {
  if (!follower_) return;
  TrialFollower::News news = follower_->TakeNews();
  for (const std::string& n : news.notices) host_.Notice(n);
  for (const TrialMarker& m : news.markers) host_.MarkerPlaced(m);
  for (const TrialPushEvent& e : news.pushes) host_.TrialPush(e);
  if (!trialFiles_) {
    pendingRows_ += news.rows;
    return;
  }
  TrialStep step;
  step.rows = std::move(news.rows);
  const auto now = std::chrono::steady_clock::now();
  if (now - checkpoint_ >= kCheckpointEvery) {
    checkpoint_ = now;
    step.json = TrialJson(false);
  }
  if (!step.rows.empty() || !step.json.empty()) WriteTrialStep(std::move(step));
}

std::string MeasurementSession::TrialDocument(const PushAnalysis& pushes, bool complete) {
  facts_.feedback_json = host_.TrialFeedbackJson();
  return TrialJsonText(facts_, pushes, complete);
}

std::string MeasurementSession::TrialJson(bool complete) {
  facts_.samples = follower_->Samples();
  facts_.markers = follower_->Markers();
  return TrialDocument(follower_->Analysis(), complete);
}

void MeasurementSession::OpenTrialFiles(const PairSaved& pair) {
  facts_.stem = pair.names.BaseName;
  TrialStep step;
  step.kind = TrialStep::Kind::kOpen;
  step.pairCsvPath = pair.names.CsvFilePath;
  step.stem = facts_.stem;
  // Rows the follower wrote out since the last drain belong after those waiting here.
  TrialFollower::News news = follower_->TakeNews();
  step.rows = TrialCsvHeader() + std::exchange(pendingRows_, {}) + news.rows;
  news.rows.clear();
  for (const std::string& n : news.notices) host_.Notice(n);
  for (const TrialMarker& m : news.markers) host_.MarkerPlaced(m);
  for (const TrialPushEvent& e : news.pushes) host_.TrialPush(e);
  step.json = TrialJson(false);
  checkpoint_ = std::chrono::steady_clock::now();
  trialFiles_ = true;
  WriteTrialStep(std::move(step));
}

void MeasurementSession::WriteTrialStep(TrialStep step, std::function<void()> then) {
  saver_.WriteTrial(
      std::move(step), [this, then = std::move(then)](const Result<std::string>& done) {
        if (!done) {
          host_.Notice("The trial's files stop here (the cycles are saved as before): " +
                       done.problem().Describe());
          return;
        }
        if (!done.value().empty()) host_.Notice(done.value());
        if (then) then();
      });
}

void MeasurementSession::EndTrial() {
  if (!follower_) return;
  follower_->Finish(engine_.EndedIn());
  PassTrialNews();
  facts_.samples = follower_->Samples();
  facts_.markers = follower_->Markers();
  lastTrial_ = follower_->Analysis();
  if (trialFiles_) {
    TrialStep step;
    step.kind = TrialStep::Kind::kEnd;
    step.json = TrialDocument(*lastTrial_, true);
    step.pushesCsv = TrialPushesCsvText(facts_, *lastTrial_);
    // Once its files are written the trial and its pairs go into the directory's catalogue,
    // on the thread that wrote them (a catalogue another program holds may keep it waiting);
    // the files stay the truth, so a catalogue that cannot be written is only said.
    WriteTrialStep(std::move(step), [this, facts = facts_, pushes = *lastTrial_,
                                     dir = parts_.naming.Auto.Dir] {
      saver_.Follow(
          [facts, pushes, dir]() -> Result<std::string> {
            const Result<CatalogueNews> news = RecordTrial(dir, facts, pushes);
            if (!news) return news.problem();
            std::string said;
            for (const Problem& p : news.value().notices) said += p.Describe() + "\n";
            return said + news.value().done;
          },
          [this, facts](const Result<std::string>& said) {
            if (!said) {
              host_.Notice("The trial is not in the catalogue: " + said.problem().Describe() +
                           " (velquor-cli catalogue scan rebuilds it from the files)");
              return;
            }
            std::string_view rest = said.value();
            while (!rest.empty()) {
              const std::size_t end = std::min(rest.find('\n'), rest.size());
              if (end > 0) host_.Notice(std::string(rest.substr(0, end)));
              rest.remove_prefix(std::min(end + 1, rest.size()));
            }
            host_.TrialCatalogued(facts);
          });
    });
  }
  host_.TrialEnded(*lastTrial_, facts_);
}

std::shared_ptr<const TrialSeries> MeasurementSession::EndedTrialSeries() const {
  return follower_ ? follower_->FinishedSeries() : nullptr;
}

std::optional<TrialMarker> MeasurementSession::PlaceMarker(const std::string& label) {
  if (!follower_ || !active_ || follower_->Finished()) {
    host_.Notice("No marker placed: no run is being measured");
    return std::nullopt;
  }
  std::optional<TrialMarker> m = follower_->PlaceMarker(label);
  if (!m) {
    host_.Notice("No marker placed: no sample has been taken since the last marker");
    return std::nullopt;
  }
  host_.MarkerPlaced(*m);
  return m;
}

bool MeasurementSession::LabelMarker(int number, const std::string& label) {
  if (!follower_ || !follower_->LabelMarker(number, label)) return false;
  facts_.markers = follower_->Markers();
  if (!active_ && trialFiles_) {
    // The trial has ended: its document is written again with the label.
    TrialStep step;
    step.kind = TrialStep::Kind::kDocument;
    step.json = TrialDocument(lastTrial_.value_or(PushAnalysis{}), true);
    WriteTrialStep(std::move(step));
  }
  return true;
}

std::optional<PushAnalysis> MeasurementSession::TrialAnalysis() const {
  if (!follower_) return std::nullopt;
  if (lastTrial_) return lastTrial_;
  return follower_->Analysis();
}

std::int64_t MeasurementSession::TrialSamples() const {
  return follower_ ? follower_->Samples() : 0;
}

std::optional<double> MeasurementSession::TrialSecondsLeft() const {
  if (!active_ || !(settings_.trialLengthS > 0)) return std::nullopt;
  const double dt = parts_.record.SampInterval / 1000;
  return std::max(0.0, settings_.trialLengthS - static_cast<double>(TrialSamples()) * dt);
}

}  // namespace velquor
