// The main window: the measuring condition and its linked boxes, Start and Stop, the save
// switches and the five lamps, the whole-record results, the seven graphs, the buttons and
// menus that open the other screens, the start-up sequence and the way out.
#pragma once

#include <QMainWindow>
#include <QString>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/ui/result_boxes.h"
#include "common/result.h"
#include "daq/driver.h"
#include "files/data_files.h"
#include "files/summary_facts.h"
#include "measure/acquisition_engine.h"
#include "measure/cycle_timing.h"
#include "measure/pacing_clock.h"
#include "plot/main_graphs.h"
#include "ui_kit/monitor_form.h"
#include "workspace/workspace.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace velquor {
class PictureBase;
}

namespace velquor::ui {

class FormSurface;
class Form2;
class Form3;
class Form4;
class Form5;
class Form6;
class Form7;
class Form8;
class Lamp;
class NoticeLine;
class NoticeLog;
class SaveWorker;
class ScreenPlacer;

class Form1 : public QMainWindow {
  Q_OBJECT

 public:
  // `backend` names the acquisition backend in the window title.
  Form1(Workspace& ws, AcqDriver& driver, const QString& backend, QWidget* parent = nullptr);
  ~Form1() override;

  // Loading the window: settings, calibration, calibration graph, devices, colours, the
  // measuring time and condition, SaveMode 0.
  void StartUp();

  // Start: measurement cycles are sampled on the acquisition thread until Stop (or a manual
  // save) ends the run; returns at once, and runEnded follows. Refused with a notice when
  // the condition is not one a measurement can be taken under, or a run is going.
  void StartAction();
  // Stop: the run ends before its next sample; the cycle being sampled is abandoned.
  void StopAction();
  // F1, F2 and F3.
  void SaveOnOff();
  void DownDataNum();
  void UpDataNum();
  // Exit: settings written, measurement ended, program ended.
  void ExitProgram();

  // The chain after a cycle or a reload, from the kinematics to the stroke table; false
  // (with a notice) when the record could not be analysed.
  bool RunAnalysisChain();
  // What follows each measurement cycle: the chain, then the automatic save (written on the
  // save worker) and the manual hand-over as the save boxes say.
  void AfterCycle();
  // "View" on Data View: the chosen file read back and analysed.
  void ViewSavedMeasurement();
  // "Report...": a report of the measurement in memory, or of the files given (Data View's
  // selection), written where the user says.
  void ReportAction();
  void ReportFiles(const std::vector<std::string>& files);
  // A job that would hold up the samples of a running cycle (drawing a report) runs after
  // the cycle's chain, or when the run ends; otherwise at once.
  void RunBetweenCycles(std::function<void()> job);

  // 1 while a measurement run is going, else 0.
  int measuring() const { return runActive_ ? 1 : 0; }
  // Samples of the cycle being sampled, or of the one the last run ended in.
  int samplesTaken() const { return engine_->SampleNo(); }
  // How the last cycle handed over kept its ticks.
  const CycleTiming& lastTiming() const { return lastTiming_; }
  int SaveMode = 0;

  // The screens; the ones created on first use are created by these.
  Form2& CardSetting();
  Form3& TextScreen();
  Form4& FileOption();
  Form5& Calibration();
  Form6& DataView();
  Form7& CalcResults();
  Form8& Pushes();
  NoticeLog& Notices() { return *notices_; }

  // Controls, named as on screen.
  QLineEdit* txtTimerInterval;
  QLineEdit* txtDataNum;
  QLineEdit* txtSampTime;
  QCheckBox* chkAutoDataSave;
  QCheckBox* chkManDataSave;
  Lamp* shape_AD;
  Lamp* shape_Timer;
  Lamp* shape_DIO;
  Lamp* shape_AutoSave;
  Lamp* shape_ManSave;
  QLabel* RetInf;
  std::array<QLineEdit*, 2> txtTqMax{}, txtTqAv{}, txtTqMin{};
  std::array<QLineEdit*, 2> txtSpeedMax{}, txtSpeedAv{}, txtSpeedMin{};
  QCheckBox* chkShift;
  std::array<PictureBase*, kMainGraphCount> Picture_base{};
  QPushButton* cmdStart;
  QPushButton* cmdStop;
  QPushButton* cmdCardSetting;
  QPushButton* cmdTextScreen;
  QPushButton* cmdFileOption;
  QPushButton* cmdDataView;
  QPushButton* cmdCalibration;
  QPushButton* cmdCalcScreen;
  QPushButton* cmdPushes;
  QPushButton* cmdReport;
  QPushButton* cmdExit;
  QAction* menuSave;
  QAction* menuDownDataNum;
  QAction* menuUpDataNum;
  QAction* menuStart;
  QAction* menuMeasure;
  QAction* menuCalcScreen;
  QAction* menuPushes;
  QAction* menuCalibration;
  QAction* menuFileOption;
  QAction* menuDataView;
  QAction* menuCardSetting;
  QAction* menuTextScreen;
  NoticeLine* noticeLine;
  QPushButton* cmdNotices;
  QProgressBar* progressSamples;
  QLabel* lblSamples;  // "123 / 400 samples" above the bar

 signals:
  // A measurement cycle has been analysed, drawn and handed to the save worker.
  void cycleFinished();
  // A run has ended: its thread is gone and its last save is written.
  void runEnded();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildCondition(FormSurface& s);
  void BuildLamps(FormSurface& s);
  void BuildResults(FormSurface& s);
  void BuildButtons(FormSurface& s);
  void BuildMenus();
  void SetTabOrder();
  void ConnectScreen(Form2& f);

  // Change rules of the three condition boxes, and what follows each of them.
  void IntervalOrCountChanged();
  void SampTimeChanged();
  void ConditionChanged();
  bool ConditionUsable(bool report);
  float LadderDataNum() const;
  QString WhyNotSaved() const;

  void LoadSettings();
  // Writes Velquor.ini from the boxes; at exit also the notices about texts it could not
  // store exactly, which every later write would repeat.
  void SaveSettings(bool at_exit);
  void LoadCalibration();
  void ApplyColours();
  void Notice(const QString& text);
  void ShowProgress();
  // The bar and its count: `taken` samples of the Data Number.
  void ShowSampleCount(int taken);
  void ShowPushesAgain();
  // The main window and the result screens name the saved measurement they show, if any.
  void ShowViewedFile(const QString& shown_path);

  // The run on the UI thread's side: finished cycles taken in order, the live view, the
  // automatic save and its outcome, the end.
  void DrainCycles();
  bool CycleHandedOver(const CycleTiming& timing);
  void ShowLive();
  void SaveAutomatically();
  void AutoSaveDone(const Result<PairSaved>& saved, const FileNaming& names);
  void EndRun();
  void TakeEngineNotices();
  // The running measurement's latest sample, for the screens that show the devices live.
  std::optional<MonitorForm::RunSample> LatestRunSample() const;

  Workspace& ws_;
  AcqDriver& driver_;
  SystemPacingClock clock_;
  std::unique_ptr<AcquisitionEngine> engine_;
  SaveWorker* saver_ = nullptr;
  NoticeLog* notices_ = nullptr;
  ScreenPlacer* placer_ = nullptr;
  QTimer liveTimer_;
  Form2* form2_ = nullptr;
  Form3* form3_ = nullptr;
  Form4* form4_ = nullptr;
  Form5* form5_ = nullptr;
  Form6* form6_ = nullptr;
  Form7* form7_ = nullptr;
  ResultBoxes mainResults_;  // the whole-record table
  Form8* form8_ = nullptr;
  // What the Pushes screen names the analysed measurement by: the file it was read from or
  // saved under, empty for a cycle not saved.
  std::string pushSource_;
  bool runActive_ = false;
  bool savePending_ = false;  // the automatic save of the last cycle is being written
  CycleTiming lastTiming_;
  // The live torque trace: torques of the cycle being sampled, converted as they come.
  std::unique_ptr<Grid<float, 2, kSampleSlots>> liveTorque_;
  int liveCycle_ = 0;
  int liveDone_ = 0;
  std::int64_t liveBehind_ = 0;
  // The record holds samples whose analysis failed: its raw columns do not match its
  // series, so it is not saved. Nothing is saved either before the first cycle or view.
  bool recordMixed_ = false;
  bool everAnalysed_ = false;
  int ruleDepth_ = 0;
  bool startingUp_ = false;
  bool exiting_ = false;
  // False when a Velquor.ini that could not be read could not be kept aside either.
  bool settingsWritable_ = true;
  QString conditionRemark_;
  QString title_;
  // What a report names the measurement in memory by, and the condition it was analysed
  // under (the boxes may change it since), once the whole chain has run on it.
  struct Shown {
    SummaryFacts facts;
    double SampInterval = 0;
    float DataNum = 0;
    double MeasTime = 0;
  };
  std::optional<Shown> shown_;
  void SetShown(SummaryFacts facts);
  std::vector<std::function<void()>> betweenCycles_;
  void RunJobsBetweenCycles();
};

}  // namespace velquor::ui
