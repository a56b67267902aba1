// What the main window does: start-up, Start and Stop, the function keys, showing what the
// measurement session reports, viewing a saved measurement, and exit.
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <exception>
#include <utility>
#include <vector>

#include "analysis/empty_reasons.h"
#include "analysis/feedback_json.h"
#include "analysis/result_texts.h"
#include "analysis/ui/calc_results.h"
#include "analysis/ui/feedback_screen.h"
#include "analysis/ui/pushes_screen.h"
#include "calibration/ui/calibration_screen.h"
#include "catalogue/ui/study_screen.h"
#include "daq/ui/card_setting.h"
#include "files/hand_over_text.h"
#include "files/save_stamp.h"
#include "files/trial_file_text.h"
#include "files/ui/data_view.h"
#include "files/ui/file_option.h"
#include "measure/main_window_rules.h"
#include "measure/ui/condition_boxes.h"
#include "measure/ui/lamp.h"
#include "measure/ui/live_view.h"
#include "measure/ui/main_window.h"
#include "measure/ui/notice_line.h"
#include "measure/ui/report_actions.h"
#include "measure/ui/settings_keeper.h"
#include "measure/ui/study_label_boxes.h"
#include "measure/ui/trial_view.h"
#include "plot/push_graphs.h"
#include "plot/stroke_graph.h"
#include "plot/ui/picture_base.h"
#include "record/condition.h"
#include "ui_kit/form_kit.h"

namespace velquor::ui {
void Form1::StartUp() {
  conditions_->SetStartingUp(true);
  ws_.record.ProgramName = kProgramName;
  keeper_->LoadAtStartUp();
  form5_->DrawCalibGraph();
  form2_->OpenAioCard();
  form2_->OpenDioCard();
  if (std::string n = driver_.TakeNotice(); !n.empty()) Notice(ToQ(n));
  ApplyColours();
  conditions_->FillSamplingTime();
  conditions_->SetStartingUp(false);
  conditions_->Changed();
  SaveMode = 0;
}

void Form1::ApplyColours() {
  for (PictureBase* frame : Picture_base) {
    frame->frame().SetLegendColour(0, ws_.GraphColor[0]);
    frame->frame().SetLegendColour(1, ws_.GraphColor[1]);
  }
  form7_->Picture_base->frame().SetLegendColour(0, ws_.GraphColor[0]);
  form7_->Picture_base->frame().SetLegendColour(1, ws_.GraphColor[1]);
  for (std::size_t k = 0; k < 2; ++k) {
    for (QLineEdit* box :
         {txtTqMax[k], txtTqAv[k], txtTqMin[k], txtSpeedMax[k], txtSpeedAv[k], txtSpeedMin[k]}) {
      SetTextColour(box, ws_.GraphColor.at(k));
    }
  }
}

void Form1::StartAction() {
  if (exiting_) return;
  if (session_->Running()) {
    // One run at a time: the one going keeps its cycles.
    Notice("Start refused: a measurement is already running; Stop (F5) ends it");
    return;
  }
  if (!conditions_->Usable(true)) return;
  const std::optional<double> length = TrialLengthOf(*txtTrialLength);
  if (!length) {
    Notice(
        "Start refused: Trial Length must be a number of seconds, or empty for a trial "
        "without a set length");
    return;
  }
  settings_.trialLengthS = *length;
  // The labels as the boxes hold them now; a change during the run is for the next one.
  settings_.who = labels_->Labels();
  RetInf->setText(QString());
  RetInf->setText(ToQ(kDataSamplingText));
  conditions_->ReadIntoRecord();
  ShowViewedFile(QString());  // the graphs show this run from its first cycle on
  feedback_->StartTrial();
  if (!session_->Start()) return;
  shape_Timer->SetColour(kLampGreen);
  cmdStart->setEnabled(false);
  cmdStop->setEnabled(true);
  live_->Begin();
  lastMarker_ = 0;
  finalsToShow_.clear();
  ShowTrialLeft();
  trialLeftTimer_->start();
}

void Form1::StopAction() {
  if (session_->Running() && !stopAsked_) {
    stopAsked_ = true;
    Notice("Stopped; the cycle being sampled was not kept");
  }
  session_->Stop();
  RetInf->setText(QString());
  shape_Timer->SetColour(kLampRed);
}

void Form1::SaveOnOff() {
  const auto step = NextSaveMode(SaveMode);
  if (!step) return;
  // The boxes' own change handlers set their lamps.
  chkAutoDataSave->setChecked(step->autoSave);
  chkManDataSave->setChecked(step->manSave);
  SaveMode = step->newMode;
}

void Form1::DownDataNum() {
  conditions_->StepDown();
}

void Form1::UpDataNum() {
  conditions_->StepUp();
}

void Form1::Notice(const std::string& text) {
  Notice(ToQ(text));
}

void Form1::CycleTaken(int, const CycleTiming& timing) {
  if (auto late = LateSamplesNotice(timing)) Notice(ToQ("Sampling: " + *late));
}

void Form1::Analysed(const AnalysisOutcome& a) {
  const MeasurementRecord& rec = ws_.record;
  if (a.cycle > 0) cycleAt_ = ToQ(TimeText(CurrentStamp()));
  report_->Forget();
  RetInf->setText(QString());
  RetInf->setText("Calculating...");
  if (a.stop && a.stop->step == AnalysisStep::kKinematics) {
    Notice("The measurement could not be analysed: " + ToQ(a.stop->problem.Describe()));
    return;
  }
  std::array<PlotFrame*, kMainGraphCount> frames{};
  for (std::size_t k = 0; k < frames.size(); ++k) frames.at(k) = &Picture_base.at(k)->frame();
  DrawMainGraphs(frames, rec, ws_.series, ws_.kin, ws_.GraphColor,
                 [this](std::string_view text) { RetInf->setText(ToQ(text)); });
  mainResults_.Fill(MainResultFields(ShowMainResults(ws_.kin)));
  if (a.stop && a.stop->step == AnalysisStep::kStrokes) {
    Notice("The strokes could not be found: " + ToQ(a.stop->problem.Describe()));
    return;
  }
  DrawStrokeGraph(form7_->Picture_base->frame(), rec, ws_.series, ws_.kin, ws_.strokes,
                  ws_.GraphColor);
  form7_->ShowStrokeResults();
  form7_->ShowWhyFewStrokes(FewStrokesReason(
      rec, settings_.analysis.strokes.value_or(form7_->ReadConditions()), ws_.strokes));
  form8_->ShowPushes(
      rec, ws_.series, ws_.kin, ws_.GraphColor, a.source,
      a.pushes ? Result<PushAnalysis>(*a.pushes) : Result<PushAnalysis>(a.stop->problem));
  if (a.cycle == 0) return;
  const SaveStamp now = CurrentStamp();
  report_->Shown({"", DateText(now), TimeText(now), rec.ProgramName, ""});
}

void Form1::InternalError(int, const std::string& what) {
  Notice(ToQ("The measurement was stopped: " + what));
}

QString Form1::WaitingText() const {
  const MeasurementRecord& rec = ws_.record;
  return ToQ(
      velquor::WaitingText(FromQ(cycleAt_), static_cast<int>(rec.DataNum), rec.SampInterval));
}

void Form1::HandOver() {
  form4_->ShowWaiting(WaitingText());
}

void Form1::NumberAdvanced(int save_flag) {
  // The box's own change handler recomposes the names from the new number.
  const NamingSet& set = save_flag == 1 ? ws_.naming.Manual : ws_.naming.Auto;
  SetTextIfDifferent(save_flag == 1 ? form4_->txtFileOrg_Man : form4_->txtFileOrg, ToQ(set.Org));
  form4_->MakeFileNames();
  // The number is kept at once, so a program killed at any moment goes on after it.
  keeper_->SaveSettings(false);
}

void Form1::SaveDone(const PairSaved& pair, const FileNaming& names) {
  // Every save says where it went, and under which number when the one asked for was taken.
  Notice(ToQ(pair.Describe()));
  for (const Problem& p : pair.notices) Notice(ToQ(p.Describe()));
  report_->Saved(pair.names.BaseName, names.NoteText);
  form8_->SetSource(pair.names.DatFilePath);
}

void Form1::SaveFailed(const Problem& problem, int) {
  Notice(
      "Automatic save failed, the measurement was stopped and is kept for saving "
      "from File Option: " +
      ToQ(problem.Describe()));
  form4_->ShowWaiting(WaitingText());
}

void Form1::CycleFinished(int) {
  emit cycleFinished();
}

void Form1::RunEnded(const RunEnd& end) {
  // The bar shows how far an interrupted cycle got, or the last whole cycle when the run
  // ended before the next one had a sample.
  // After Stop it starts again from nothing, as the abandoned cycle is not kept.
  const int taken = session_->SampleNo();
  const int last = session_->LastTiming().samples;
  live_->End(stopAsked_ ? 0 : taken == 0 && last > 0 ? last : taken);
  stopAsked_ = false;
  cmdStart->setEnabled(true);
  cmdStop->setEnabled(false);
  trialLeftTimer_->stop();
  lblTrialLeft->clear();
  // However the run ended (Stop, a manual hand-over, a failed save, a failed read), it is no
  // longer sampling.
  RetInf->clear();
  if (end.fault) {
    Notice(ToQ(end.fault->Describe()));
    // A port the DIO device refused (a wrong PortNo) leaves the device unreadable: its lamp
    // goes red until Dio Open opens it with numbers it reads.
    if (!end.fault->analog) {
      shape_DIO->SetColour(kLampRed);
      dioProblem_ = noticeLine->text();
    }
  }
  if (end.aioClosed && end.dioClosed) {
    form2_->ShowClosed(*end.aioClosed, *end.dioClosed);
    Notice("Both devices were closed: open them again on Card Setting once the card is back");
  }
  // The torque frame shows the last analysed cycle again in place of the live trace.
  if (session_->HasAnalysedRecord()) {
    std::array<PlotFrame*, kMainGraphCount> frames{};
    frames.at(kTorqueGraph) = &Picture_base.at(kTorqueGraph)->frame();
    DrawMainGraphs(frames, ws_.record, ws_.series, ws_.kin, ws_.GraphColor);
  }
  emit runEnded();
}

void Form1::TrialPush(const TrialPushEvent& event) {
  // The person pushing sees each push the moment it is final; the rest shows once per drain.
  if (event.cycle_figures) {
    feedback_->CycleFigures(event.wheel, event.push);
  } else {
    (void)feedback_->PushFinal(event.wheel, event.push);
    emit feedbackGiven(event.sample_final);
  }
  if (!event.cycle_figures) finalsToShow_.push_back(event.sample_final);
  ShowTrialSoon();
}

void Form1::ShowTrialSoon() {
  if (trialShowQueued_) return;
  trialShowQueued_ = true;
  // Every push of one drain is shown at once, after it.
  QMetaObject::invokeMethod(
      this,
      [this] {
        trialShowQueued_ = false;
        if (!session_->Running()) return;  // the trial's end shows it whole
        if (const std::optional<PushAnalysis> trial = session_->TrialAnalysis()) {
          form8_->ShowTrial(*trial, true);
          emit trialPushesShown(std::exchange(finalsToShow_, {}));
        }
      },
      Qt::QueuedConnection);
}

void Form1::TrialEnded(const PushAnalysis& analysis, const TrialFacts& facts) {
  // The trial's pushes are named after its per-sample file, once it has one.
  form8_->SetTrialSource(
      facts.stem.empty() ? std::string() : ws_.naming.Auto.Dir + "\\" + TrialCsvName(facts.stem));
  // The time graph shows the whole trial's torque with its pushes and markers, as it does for a
  // trial viewed from its file.
  if (std::shared_ptr<const TrialSeries> series = session_->EndedTrialSeries()) {
    std::vector<double> markers;
    for (const TrialMarker& m : facts.markers) markers.push_back(m.t_s);
    form8_->SetTrialTorque(
        [series, markers, &pushes = *form8_](PlotFrame& frame, const PushAnalysis& shown) {
          DrawTrialTorqueGraph(frame, *series, shown, markers, pushes.GraphColours());
        });
  }
  form8_->ShowTrial(analysis, false);
  emit trialPushesShown(std::exchange(finalsToShow_, {}));
  Notice(ToQ("Trial of " + std::to_string(facts.samples) +
             " samples ended: " + std::to_string(analysis.wheels[0].pushes.size()) + " and " +
             std::to_string(analysis.wheels[1].pushes.size()) + " pushes"));
}

std::string Form1::TrialFeedbackJson() const {
  return FeedbackJson(feedback_->Live(), FromQ(baselineFrom_));
}

void Form1::SetFeedbackBaseline() {
  // What the Pushes screen shows: this trial, the last cycle, or a file viewed from Data View.
  const bool trial = form8_->ShowingTrial() && form8_->Trial();
  const std::optional<PushAnalysis>& shown = trial ? form8_->Trial() : form8_->Shown();
  if (!shown) {
    Notice(
        "No baseline set: the Pushes screen shows no pushes yet; measure a trial or view a "
        "file first");
    return;
  }
  const std::string source = form8_->Source();
  baselineFrom_ = trial ? QString("the trial shown on the Pushes screen")
                        : (source.empty() ? QString("the last cycle") : ShownPath(source));
  feedback_->SetBaseline(*shown, baselineFrom_);
}

void Form1::PlaceMarker() {
  if (!session_->Running()) {
    Notice("No marker placed: markers are placed while a trial is measured");
    return;
  }
  (void)session_->PlaceMarker();
}

void Form1::MarkerPlaced(const TrialMarker& m) {
  lastMarker_ = m.number;
  live_->AddMarker(m.sample);
  Notice(QString("Marker %1 at sample %2 (%3 s); type a label for it under the notices")
             .arg(m.number)
             .arg(m.sample)
             .arg(m.t_s, 0, 'f', 3));
}

void Form1::LabelMarker(int number, const QString& label) {
  const int which = number == 0 ? lastMarker_ : number;
  if (which == 0 || !session_->LabelMarker(which, FromQ(label))) {
    Notice(QString("No marker %1 to label in the trial").arg(which));
    return;
  }
  Notice(QString("Marker %1 labelled \"%2\"").arg(which).arg(label));
}

void Form1::ShowTrialLeft() {
  const std::optional<double> left = session_->TrialSecondsLeft();
  lblTrialLeft->setText(left ? QString("%1 s left").arg(*left, 0, 'f', 1) : QString());
}

void Form1::ViewSavedMeasurement() {
  if (session_->Running()) {
    Notice("Data View: stop the measurement before viewing a saved one; nothing was read");
    return;
  }
  if (!DataView().LoadDataFiles()) return;
  const std::string path = DataView().ViewDatPath();
  const QString shown = ShownPath(path);
  try {
    if (session_->AnalyseLoaded(path)) {
      report_->Shown(LoadSummaryFacts(path));
      ShowViewedFile(shown);
      Notice("Showing " + shown);
    }
  } catch (const std::exception& e) {
    Notice(QString("The saved measurement could not be shown: ") + e.what());
  }
  RetInf->clear();
}

void Form1::ViewTrial() {
  const std::string path = DataView().ViewDatPath();
  if (trialView_->View(path, chkShift->isChecked())) {
    TitleWithSource(form8_, "Pushes", ShownPath(path));
  }
  RetInf->clear();
}

void Form1::ShowViewedFile(const QString& shown_path) {
  shownPath_ = shown_path;
  ShowTitle();
  TitleWithSource(form7_, "Calculated Results Screen", shown_path);
  TitleWithSource(form8_, "Pushes", shown_path);
}

void Form1::ShowTitle() {
  title_ = backendTitle_ + LabelsTitle(labels_->Labels());
  TitleWithSource(this, title_, shownPath_);
}

void Form1::TrialCatalogued(const TrialFacts& /*facts*/) {
  // The new trial's row is in the catalogue now.
  if (study_ && study_->isVisible()) study_->Refresh();
}

void Form1::ViewStudyTrial(const QString& path) {
  const QFileInfo file(path);
  Form6& view = DataView();
  ShowScreen(&view);  // first, as showing the screen lists its directory afresh
  view.SetDirectory(file.absolutePath());
  view.ShowFile(file.fileName());
  ViewTrial();
}

void Form1::ExitProgram() {
  close();
}

QMessageBox* Form1::PendingQuit() const {
  return quitQuestion_.data();
}

void Form1::closeEvent(QCloseEvent* event) {
  if (!exiting_ && !quitConfirmed_ && session_->Running()) {
    // A run is never ended by a stray click: the question waits without holding it up.
    event->ignore();
    if (quitQuestion_) {
      quitQuestion_->raise();
      return;
    }
    quitQuestion_ = new QMessageBox(QMessageBox::Question, title_,
                                    "A measurement is running. Stop it and quit?",
                                    QMessageBox::Yes | QMessageBox::No, this);
    quitQuestion_->setDefaultButton(QMessageBox::No);
    quitQuestion_->setWindowModality(Qt::WindowModal);
    quitQuestion_->setAttribute(Qt::WA_DeleteOnClose);
    connect(quitQuestion_, &QMessageBox::finished, this, [this](int answer) {
      quitQuestion_ = nullptr;
      if (answer != QMessageBox::Yes) return;
      quitConfirmed_ = true;
      close();
    });
    quitQuestion_->open();
    return;
  }
  if (!exiting_) {
    exiting_ = true;
    keeper_->SaveSettings(true);
    // A running measurement ends before its next sample; the devices are left as they are.
    session_->Stop();
  }
  event->accept();
  QCoreApplication::quit();
}

}  // namespace velquor::ui
