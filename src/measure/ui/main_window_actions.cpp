// What the main window does: start-up, the condition rules, Start and Stop, the function
// keys, the chain after every measurement cycle, viewing a saved measurement, and exit.
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <exception>

#include "analysis/analyse_record.h"
#include "analysis/kinematics.h"
#include "analysis/result_texts.h"
#include "analysis/strokes.h"
#include "analysis/ui/calc_results.h"
#include "analysis/ui/pushes_screen.h"
#include "calibration/ui/calibration_screen.h"
#include "common/number_parse.h"
#include "common/text_file.h"
#include "daq/ui/card_setting.h"
#include "files/calibration_file.h"
#include "files/data_files.h"
#include "files/save_stamp.h"
#include "files/set_aside.h"
#include "files/settings_file.h"
#include "files/ui/data_view.h"
#include "files/ui/file_option.h"
#include "files/ui/save_worker.h"
#include "measure/condition.h"
#include "measure/cycle_handoff.h"
#include "measure/main_window_rules.h"
#include "measure/ui/lamp.h"
#include "measure/ui/live_view.h"
#include "measure/ui/main_window.h"
#include "measure/ui/notice_log.h"
#include "measure/ui/report_actions.h"
#include "measure/ui/screen_placer.h"
#include "plot/live_trace.h"
#include "plot/stroke_graph.h"
#include "plot/ui/picture_base.h"
#include "ui_kit/form_kit.h"

namespace velquor::ui {
namespace {

// Each rule writes at most one box, and a box that already holds its text ends the chain;
// the depth bound only guards against two rules that never agree on a rounding.
constexpr int kMaxRuleDepth = 8;

QString Describe(const Problem& p) {
  return ToQ(p.Describe());
}

}  // namespace

void Form1::StartUp() {
  startingUp_ = true;
  ws_.record.ProgramName = kProgramName;
  for (const Problem& p : RemoveLeftoverTemps(".")) Notice(Describe(p));
  LoadSettings();
  LoadCalibration();
  form5_->DrawCalibGraph();
  form2_->OpenAioCard();
  form2_->OpenDioCard();
  if (std::string n = driver_.TakeNotice(); !n.empty()) Notice(ToQ(n));
  ApplyColours();
  if (auto t = SampTimeText(FromQ(txtTimerInterval->text()), FromQ(txtDataNum->text()))) {
    SetTextIfDifferent(txtSampTime, ToQ(*t));
  }
  startingUp_ = false;
  ConditionChanged();
  SaveMode = 0;
}

void Form1::LoadSettings() {
  SettingsLoad load = velquor::LoadSettings();
  settingsWritable_ = KeepUnreadable(load.unreadable, true, load.notices);
  const Settings& s = load.values;
  // Each text goes in as if typed, so the file names and the condition rules follow.
  Form4& f = *form4_;
  f.txtFileDir_Man->setText(ToQ(s.txtFileDir_Man));
  f.txtFileHead_Man->setText(ToQ(s.txtFileHead_Man));
  f.txtFileOrg_Man->setText(ToQ(s.txtFileOrg_Man));
  f.txtFileDir->setText(ToQ(s.txtFileDir));
  f.txtFileHead->setText(ToQ(s.txtFileHead));
  f.txtFileOrg->setText(ToQ(s.txtFileOrg));
  f.MakeFileNames();  // the paths show even when every text kept its design-time value
  txtTimerInterval->setText(ToQ(s.txtTimerInterval));
  txtDataNum->setText(ToQ(s.txtDataNum));
  txtSampTime->setText(ToQ(s.txtSampTime));
  form7_->SetConditionTexts({s.txtStartPosCond, s.txtEndPosCond, s.txtLimitCond});
  form8_->SetParameters(s.push);
  settings_.analysis.pushes = form8_->Parameters();
  ws_.GraphColor = s.GraphColor;
  placer_->Remember(s.screens);
  for (const Problem& p : load.notices) Notice(Describe(p));
}

void Form1::SaveSettings(bool at_exit) {
  if (!settingsWritable_) {
    if (at_exit)
      Notice(QString("The settings were not written: ") + kSettingsFileName +
             " could not be read at start-up and was left in place");
    return;
  }
  // File Option keeps the naming sets as its boxes read; the push parameters are the ones
  // in force.
  const NamingSet& a = ws_.naming.Auto;
  const NamingSet& m = ws_.naming.Manual;
  const auto [start, end, limit] = form7_->ConditionTexts();
  Settings s{.txtFileDir_Man = m.Dir,
             .txtFileHead_Man = m.Head,
             .txtFileOrg_Man = m.Org,
             .txtFileDir = a.Dir,
             .txtFileHead = a.Head,
             .txtFileOrg = a.Org,
             .txtTimerInterval = FromQ(txtTimerInterval->text()),
             .txtDataNum = FromQ(txtDataNum->text()),
             .txtSampTime = FromQ(txtSampTime->text()),
             .txtStartPosCond = start,
             .txtEndPosCond = end,
             .txtLimitCond = limit,
             .GraphColor = ws_.GraphColor,
             .push = settings_.analysis.pushes.value_or(PushParameters{}),
             .screens = placer_->Places()};
  const auto saved = velquor::SaveSettings(s);
  if (!saved.ok()) {
    const QString text = "The settings were not written: " + Describe(saved.problem());
    Notice(text);
    // The window is closing; the terminal is the one place the operator may still read it.
    if (at_exit) qWarning("%s", qPrintable(text));
    return;
  }
  if (!at_exit) return;
  for (const Problem& p : saved.value()) Notice(Describe(p));
}

void Form1::LoadCalibration() {
  CalibrationLoad load = velquor::LoadCalibration();
  // A fit writes the file; one that could not be read is kept aside first, or else left alone.
  if (!KeepUnreadable(load.unreadable, true, load.notices)) {
    form5_->KeepWorkingFile(Describe(load.notices.back()));
  }
  ws_.calibration = std::move(load.values);
  form5_->ShowCalibrationRows();
  for (const Problem& p : load.notices) Notice(Describe(p));
  if (!ws_.calibration.loaded) {
    Notice(QString("No calibration loaded: torques are computed with Ka1 = 0 and Ka0 = 0 until "
                   "a calibration is made on the Calibration screen (it is then kept in ") +
           kCalibrationFileName + ")");
  }
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

void Form1::IntervalOrCountChanged() {
  if (ruleDepth_ < kMaxRuleDepth) {
    ++ruleDepth_;
    if (auto t = SampTimeText(FromQ(txtTimerInterval->text()), FromQ(txtDataNum->text()))) {
      SetTextIfDifferent(txtSampTime, ToQ(*t));
    }
    --ruleDepth_;
  }
  ConditionChanged();
}

void Form1::SampTimeChanged() {
  if (ruleDepth_ < kMaxRuleDepth) {
    ++ruleDepth_;
    if (auto t = DataNumText(FromQ(txtSampTime->text()), FromQ(txtTimerInterval->text()))) {
      SetTextIfDifferent(txtDataNum, ToQ(*t));
    }
    --ruleDepth_;
  }
  ConditionChanged();
}

void Form1::ConditionChanged() {
  const std::string interval = FromQ(txtTimerInterval->text());
  const std::string count = FromQ(txtDataNum->text());
  const std::string time = FromQ(txtSampTime->text());
  const auto problem = EvaluateConditionTexts(interval, count, time);
  const auto field = problem ? std::optional(problem->field) : std::nullopt;
  MarkWrongBox(txtTimerInterval, field == ConditionField::kTimerInterval, false);
  MarkWrongBox(txtDataNum, field == ConditionField::kDataNumber, false);
  MarkWrongBox(txtSampTime, field == ConditionField::kSamplingTime, true);
  if (problem) {
    // The record keeps the last condition a measurement can run under, so a running loop
    // never sees a count beyond the record or an interval it cannot pace.
    if (startingUp_) return;
    conditionRemark_ = ToQ(problem->message);
    notices_->ShowOnly(conditionRemark_);
    return;
  }
  ReadCondition(ws_.record, interval, count, time);
  // A new count ends or lengthens the cycle being sampled; a new interval changes only the
  // time axis of what is drawn and saved.
  session_->SetDataNum(static_cast<int>(ws_.record.DataNum));
  live_->ShowCount(session_->Running() ? session_->SampleNo() : live_->Shown());
  if (!conditionRemark_.isEmpty()) {
    notices_->Withdraw(conditionRemark_);
    conditionRemark_.clear();
  }
}

bool Form1::ConditionUsable(bool report) {
  const auto problem = EvaluateConditionTexts(
      FromQ(txtTimerInterval->text()), FromQ(txtDataNum->text()), FromQ(txtSampTime->text()));
  if (!problem) return true;
  ConditionChanged();
  if (report) {
    conditionRemark_ = "Start refused: " + ToQ(problem->message);
    Notice(conditionRemark_);
  }
  return false;
}

void Form1::StartAction() {
  if (exiting_) return;
  if (session_->Running()) {
    // One run at a time: the one going keeps its cycles.
    Notice("Start refused: a measurement is already running; Stop (F5) ends it");
    return;
  }
  if (!ConditionUsable(true)) return;
  RetInf->setText(QString());
  RetInf->setText(ToQ(kDataSamplingText));
  ReadCondition(ws_.record, FromQ(txtTimerInterval->text()), FromQ(txtDataNum->text()),
                FromQ(txtSampTime->text()));
  ShowViewedFile(QString());  // the graphs show this run from its first cycle on
  if (!session_->Start()) return;
  shape_Timer->SetColour(kLampGreen);
  cmdStart->setEnabled(false);
  cmdStop->setEnabled(true);
  live_->Begin();
}

void Form1::StopAction() {
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

float Form1::LadderDataNum() const {
  // The record keeps the last usable count; while the box holds a count that was refused
  // (above 2000, say), the keys step from the number the operator sees.
  if (txtDataNum->property("conditionError").toBool()) {
    return static_cast<float>(Val(FromQ(txtDataNum->text())));
  }
  return ws_.record.DataNum;
}

void Form1::DownDataNum() {
  if (const auto n = velquor::DataNumDown(LadderDataNum())) {
    SetTextIfDifferent(txtDataNum, QString::number(*n));
  }
}

void Form1::UpDataNum() {
  if (const auto n = velquor::DataNumUp(LadderDataNum())) {
    SetTextIfDifferent(txtDataNum, QString::number(*n));
  }
}

void Form1::Notice(const std::string& text) {
  Notice(ToQ(text));
}

void Form1::CycleTaken(int, const CycleTiming& timing) {
  if (auto late = LateSamplesNotice(timing)) Notice(ToQ("Sampling: " + *late));
}

void Form1::Analysed(const AnalysisOutcome& a) {
  const MeasurementRecord& rec = ws_.record;
  report_->Forget();
  RetInf->setText(QString());
  RetInf->setText("Calculating...");
  if (a.stop && a.stop->step == AnalysisStep::kKinematics) {
    Notice("The measurement could not be analysed: " + Describe(a.stop->problem));
    return;
  }
  std::array<PlotFrame*, kMainGraphCount> frames{};
  for (std::size_t k = 0; k < frames.size(); ++k) frames.at(k) = &Picture_base.at(k)->frame();
  DrawMainGraphs(frames, rec, ws_.series, ws_.kin, ws_.GraphColor,
                 [this](std::string_view text) { RetInf->setText(ToQ(text)); });
  mainResults_.Fill(MainResultFields(ShowMainResults(ws_.kin)));
  if (a.stop && a.stop->step == AnalysisStep::kStrokes) {
    Notice("The strokes could not be found: " + Describe(a.stop->problem));
    return;
  }
  DrawStrokeGraph(form7_->Picture_base->frame(), rec, ws_.series, ws_.kin, ws_.strokes,
                  ws_.GraphColor);
  form7_->ShowStrokeResults();
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

void Form1::HandOver() {
  form4_->ShowFileOption();
}

void Form1::NumberAdvanced(int save_flag) {
  // The box's own change handler recomposes the names from the new number.
  const NamingSet& set = save_flag == 1 ? ws_.naming.Manual : ws_.naming.Auto;
  SetTextIfDifferent(save_flag == 1 ? form4_->txtFileOrg_Man : form4_->txtFileOrg, ToQ(set.Org));
  form4_->MakeFileNames();
  // The number is kept at once, so a program killed at any moment goes on after it.
  SaveSettings(false);
}

void Form1::SaveDone(const PairSaved& pair, const FileNaming& names) {
  // Every save says where it went, and under which number when the one asked for was taken.
  Notice(ToQ(pair.Describe()));
  for (const Problem& p : pair.notices) Notice(Describe(p));
  report_->Saved(pair.names.BaseName, names.NoteText);
  form8_->SetSource(pair.names.DatFilePath);
}

void Form1::SaveFailed(const Problem& problem, int) {
  Notice(
      "Automatic save failed, the measurement was stopped and is kept for saving "
      "from File Option: " +
      Describe(problem));
  ShowScreen(form4_);
}

void Form1::CycleFinished(int) {
  emit cycleFinished();
}

void Form1::RunEnded(const RunEnd& end) {
  // The bar shows how far an interrupted cycle got, or the last whole cycle when the run
  // ended before the next one had a sample.
  const int taken = session_->SampleNo();
  const int last = session_->LastTiming().samples;
  live_->End(taken == 0 && last > 0 ? last : taken);
  cmdStart->setEnabled(true);
  cmdStop->setEnabled(false);
  // However the run ended (Stop, a manual hand-over, a failed save, a failed read), it is no
  // longer sampling.
  RetInf->clear();
  if (end.fault) Notice(ToQ(end.fault->Describe()));
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

void Form1::ShowViewedFile(const QString& shown_path) {
  TitleWithSource(this, title_, shown_path);
  TitleWithSource(form7_, "Calculated Results Screen", shown_path);
  TitleWithSource(form8_, "Pushes", shown_path);
}

void Form1::ExitProgram() {
  close();
}

void Form1::closeEvent(QCloseEvent* event) {
  if (!exiting_) {
    exiting_ = true;
    SaveSettings(true);
    // A running measurement ends before its next sample; the devices are left as they are.
    session_->Stop();
  }
  event->accept();
  QCoreApplication::quit();
}

}  // namespace velquor::ui
