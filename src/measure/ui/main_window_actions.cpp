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
#include "measure/cycle_handoff.h"
#include "measure/main_window_rules.h"
#include "measure/ui/lamp.h"
#include "measure/ui/main_window.h"
#include "measure/ui/notice_log.h"
#include "measure/ui/screen_placer.h"
#include "plot/live_trace.h"
#include "plot/stroke_graph.h"
#include "plot/ui/picture_base.h"
#include "record/condition.h"
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
  form7_->txtStartPosCond->setText(ToQ(s.txtStartPosCond));
  form7_->txtEndPosCond->setText(ToQ(s.txtEndPosCond));
  form7_->txtLimitCond->setText(ToQ(s.txtLimitCond));
  form8_->SetParameters(s.push);
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
  Settings s;
  const Form4& f = *form4_;
  s.txtFileDir_Man = FromQ(f.txtFileDir_Man->text());
  s.txtFileHead_Man = FromQ(f.txtFileHead_Man->text());
  s.txtFileOrg_Man = FromQ(f.txtFileOrg_Man->text());
  s.txtFileDir = FromQ(f.txtFileDir->text());
  s.txtFileHead = FromQ(f.txtFileHead->text());
  s.txtFileOrg = FromQ(f.txtFileOrg->text());
  s.txtTimerInterval = FromQ(txtTimerInterval->text());
  s.txtDataNum = FromQ(txtDataNum->text());
  s.txtSampTime = FromQ(txtSampTime->text());
  s.txtStartPosCond = FromQ(form7_->txtStartPosCond->text());
  s.txtEndPosCond = FromQ(form7_->txtEndPosCond->text());
  s.txtLimitCond = FromQ(form7_->txtLimitCond->text());
  s.GraphColor = ws_.GraphColor;
  s.push = form8_->Parameters();
  s.screens = placer_->Places();
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
  engine_->SetDataNum(static_cast<int>(ws_.record.DataNum));
  ShowSampleCount(runActive_ ? engine_->SampleNo() : progressSamples->value());
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
  if (runActive_) {
    // One run at a time: the one going keeps its cycles.
    Notice("Start refused: a measurement is already running; Stop (F5) ends it");
    return;
  }
  if (!ConditionUsable(true)) return;
  MeasurementRecord& rec = ws_.record;
  RetInf->setText(QString());
  RetInf->setText(ToQ(kDataSamplingText));
  rec.SampleNo = 0;
  ReadCondition(rec, FromQ(txtTimerInterval->text()), FromQ(txtDataNum->text()),
                FromQ(txtSampTime->text()));
  rec.StopFlag = false;
  shape_Timer->SetColour(kLampGreen);
  ShowViewedFile(QString());  // the graphs show this run from its first cycle on
  cmdStart->setEnabled(false);
  cmdStop->setEnabled(true);
  runActive_ = true;
  ws_.device.measuring = true;
  liveCycle_ = 0;
  liveDone_ = 0;
  liveBehind_ = 0;
  lastTiming_ = CycleTiming{};
  engine_->Start(rec.SampInterval, static_cast<int>(rec.DataNum));
  ShowProgress();
  liveTimer_.start();
}

void Form1::StopAction() {
  ws_.record.StopFlag = true;
  engine_->RequestStop();
  RetInf->setText(QString());
  shape_Timer->SetColour(kLampRed);
}

void Form1::ShowProgress() {
  ShowSampleCount(engine_->SampleNo());
}

void Form1::ShowSampleCount(int taken) {
  const int total = std::clamp(static_cast<int>(ws_.record.DataNum), 1, kMaxSamples);
  const int shown = std::clamp(taken, 0, total);
  progressSamples->setMaximum(total);
  progressSamples->setValue(shown);
  lblSamples->setText(QString("%1 / %2 samples").arg(shown).arg(total));
}

void Form1::ShowLive() {
  // Yellow when a sample since the last look was taken behind its tick, or the last one was.
  const std::int64_t behind = engine_->SamplesBehind();
  if (!ws_.record.StopFlag) {
    const bool late = behind != liveBehind_ || engine_->CatchingUp();
    shape_Timer->SetColour(late ? kLampYellow : kLampGreen);
  }
  liveBehind_ = behind;
  ShowProgress();
  TakeEngineNotices();
  const SampleBlock* block = engine_->Filling();
  if (block == nullptr) return;
  // Only samples 1..count are read, and the block is not reused before this thread has
  // given back the one it holds, so nothing read here is being written.
  const int count = block->count.load(std::memory_order_acquire);
  if (block->cycle != liveCycle_ || count < liveDone_) {
    liveCycle_ = block->cycle;
    liveDone_ = 0;
  }
  const bool shift = chkShift->isChecked();
  for (int i = liveDone_ + 1; i <= count; ++i) {
    for (int ch = 0; ch < 2; ++ch) {
      (*liveTorque_)(ch, i) = CalibratedTorque(ws_.calibration, shift, ch, block->Volt(ch, i));
    }
  }
  liveDone_ = count;
  DrawLiveTorque(Picture_base.at(kTorqueGraph)->frame(), *liveTorque_, count,
                 ws_.record.SampInterval, ws_.record.MeasTime, ws_.GraphColor);
}

void Form1::TakeEngineNotices() {
  for (const std::string& n : engine_->TakeNotices()) Notice(ToQ(n));
}

void Form1::DrainCycles() {
  if (!runActive_) return;
  // A cycle waits while the save of the one before is being written: a failed save ends the
  // run with its measurement still in the record.
  // The engine hands a cycle over before its run ends, so looking at the end first leaves no
  // cycle finished just before it behind.
  const bool ended = !engine_->Running();
  HandleFinishedCycles(
      *engine_, ws_.record, [this](const CycleTiming& t) { return CycleHandedOver(t); },
      [this] { return !savePending_; });
  TakeEngineNotices();
  if (ended && !savePending_) EndRun();
}

bool Form1::CycleHandedOver(const CycleTiming& timing) {
  lastTiming_ = timing;
  if (auto late = LateSamplesNotice(timing)) Notice(ToQ("Sampling: " + *late));
  AfterCycle();
  return !ws_.record.StopFlag;
}

void Form1::EndRun() {
  engine_->Join();
  runActive_ = false;
  ws_.device.measuring = false;
  liveTimer_.stop();
  TakeEngineNotices();
  shape_Timer->SetColour(kLampRed);
  cmdStart->setEnabled(true);
  cmdStop->setEnabled(false);
  // The bar shows how far an interrupted cycle got, or the last whole cycle when the run
  // ended before the next one had a sample.
  ShowSampleCount(engine_->SampleNo() == 0 && lastTiming_.samples > 0 ? lastTiming_.samples
                                                                      : engine_->SampleNo());
  // However the run ended (Stop, a manual hand-over, a failed save, a failed read), it is no
  // longer sampling.
  RetInf->clear();
  if (const auto fault = engine_->Fault()) {
    Notice(ToQ(fault->Describe()));
    if (fault->DeviceGone()) {
      // Nothing can be read from a card that is gone: both devices are closed and their lamps
      // go red until they are opened again.
      form2_->CloseAioCard();
      form2_->CloseDioCard();
      Notice("Both devices were closed: open them again on Card Setting once the card is back");
    }
  }
  // The torque frame shows the last analysed cycle again in place of the live trace.
  if (everAnalysed_ && !recordMixed_) {
    std::array<PlotFrame*, kMainGraphCount> frames{};
    frames.at(kTorqueGraph) = &Picture_base.at(kTorqueGraph)->frame();
    DrawMainGraphs(frames, ws_.record, ws_.series, ws_.kin, ws_.GraphColor);
  }
  RunJobsBetweenCycles();
  emit runEnded();
}

void Form1::SaveAutomatically() {
  MeasurementRecord& rec = ws_.record;
  rec.SaveFlag = 0;
  form4_->MakeFileNames();
  SaveJob job{ws_.naming,
              0,
              std::make_shared<const MeasurementRecord>(rec),
              std::make_shared<const DerivedSeries>(ws_.series),
              ws_.strokes,
              CurrentStamp()};
  savePending_ = true;
  saver_->Save(std::move(job), [this](const Result<PairSaved>& saved, const FileNaming& names) {
    AutoSaveDone(saved, names);
  });
}

void Form1::AutoSaveDone(const Result<PairSaved>& saved, const FileNaming& names) {
  savePending_ = false;
  MeasurementRecord& rec = ws_.record;
  if (saved.ok()) {
    const PairSaved& pair = saved.value();
    // Every save says where it went, and under which number when the one asked for was taken.
    Notice(ToQ(pair.Describe()));
    for (const Problem& p : pair.notices) Notice(Describe(p));
    if (shown_) {
      shown_->facts.stem = pair.names.BaseName;
      shown_->facts.note = names.NoteText;
    }
    form8_->SetSource(pair.names.DatFilePath);
    // The automatic set's number becomes the one used, then the next, whatever set a
    // manual save has made current meanwhile.
    const int flag = rec.SaveFlag;
    rec.SaveFlag = 0;
    SetTextIfDifferent(form4_->txtFileOrg, ToQ(pair.usedOrg));
    form4_->AdvanceFileNumber();
    rec.SaveFlag = flag;
    // The number is kept at once, so a run killed at any moment goes on after it.
    SaveSettings(false);
  } else {
    // The run ends after this cycle; the measurement stays in memory for File Option.
    Notice(
        "Automatic save failed, the measurement was stopped and is kept for saving "
        "from File Option: " +
        Describe(saved.problem()));
    rec.StopFlag = true;
    engine_->RequestStop();
    ShowScreen(form4_);
  }
  DrainCycles();
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

bool Form1::RunAnalysisChain() {
  MeasurementRecord& rec = ws_.record;
  recordMixed_ = true;  // until the whole chain has run on this record
  shown_.reset();
  RetInf->setText(QString());
  RetInf->setText("Calculating...");
  RecordAnalysis out{ws_.series, ws_.kin, ws_.strokes};
  const auto stop =
      AnalyseRecord(rec, ws_.calibration,
                    {chkShift->isChecked(), form7_->ReadConditions(), form8_->Parameters()}, out);
  if (stop && stop->step == AnalysisStep::kKinematics) {
    Notice("The measurement could not be analysed: " + Describe(stop->problem));
    return false;
  }
  std::array<PlotFrame*, kMainGraphCount> frames{};
  for (std::size_t k = 0; k < frames.size(); ++k) frames.at(k) = &Picture_base.at(k)->frame();
  DrawMainGraphs(frames, rec, ws_.series, ws_.kin, ws_.GraphColor,
                 [this](std::string_view text) { RetInf->setText(ToQ(text)); });
  mainResults_.Fill(MainResultFields(ShowMainResults(ws_.kin)));
  if (stop && stop->step == AnalysisStep::kStrokes) {
    Notice("The strokes could not be found: " + Describe(stop->problem));
    return false;
  }
  DrawStrokeGraph(form7_->Picture_base->frame(), rec, ws_.series, ws_.kin, ws_.strokes,
                  ws_.GraphColor);
  form7_->ShowStrokeResults();
  form8_->ShowPushes(rec, ws_.series, ws_.kin, ws_.GraphColor, pushSource_,
                     out.pushes ? Result<PushAnalysis>(std::move(*out.pushes))
                                : Result<PushAnalysis>(stop->problem));
  recordMixed_ = false;
  everAnalysed_ = true;
  return true;
}

void Form1::ShowPushesAgain() {
  // The series belong to the record unless its analysis failed: the cycle being sampled
  // never touches either.
  if (recordMixed_ || !form8_->HasMeasurement()) {
    form8_->SetStatus("Applied; the next measurement cycle or View is analysed with them.");
    return;
  }
  form8_->ShowPushes(ws_.record, ws_.series, ws_.kin, ws_.GraphColor, form8_->Source());
}

void Form1::AfterCycle() {
  MeasurementRecord& rec = ws_.record;
  try {
    pushSource_.clear();
    if (!RunAnalysisChain()) {
      rec.StopFlag = true;
      return;
    }
    const SaveStamp now = CurrentStamp();
    SetShown({"", DateText(now), TimeText(now), rec.ProgramName, ""});
    if (chkAutoDataSave->isChecked()) SaveAutomatically();
    if (chkManDataSave->isChecked()) {
      rec.SaveFlag = 1;
      form4_->ShowFileOption();
      form4_->AdvanceFileNumber();
      SaveSettings(false);
    }
  } catch (const std::exception& e) {
    Notice(QString("The measurement was stopped: ") + e.what());
    rec.StopFlag = true;
  }
  RunJobsBetweenCycles();
  emit cycleFinished();
}

QString Form1::WhyNotSaved() const {
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
  return {};
}

void Form1::ViewSavedMeasurement() {
  if (runActive_) {
    Notice("Data View: stop the measurement before viewing a saved one; nothing was read");
    return;
  }
  if (!DataView().LoadDataFiles()) return;
  pushSource_ = DataView().ViewDatPath();
  const QString shown = ShownPath(pushSource_);
  try {
    if (RunAnalysisChain()) {
      SetShown(LoadSummaryFacts(DataView().ViewDatPath()));
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
    ws_.record.StopFlag = true;
    engine_->RequestStop();
  }
  event->accept();
  QCoreApplication::quit();
}

}  // namespace velquor::ui
