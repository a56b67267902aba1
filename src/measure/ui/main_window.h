// The main window: the measuring condition and its linked boxes, Start and Stop, the save
// switches and the five lamps, the whole-record results, the seven graphs, the buttons and
// menus that open the other screens, the start-up sequence and the way out. It hosts the
// measurement session: the session runs the cycles and decides, the window shows.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "analysis/ui/result_boxes.h"
#include "daq/driver.h"
#include "measure/pacing_clock.h"
#include "plot/main_graphs.h"
#include "session/measurement_session.h"
#include "workspace/workspace.h"

class QAction;
class QTimer;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMessageBox;
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
class FeedbackScreen;
class ConditionBoxes;
class Lamp;
class LiveView;
class NoticeLine;
class NoticeLog;
class ReportActions;
class TrialView;
class SaveWorker;
class ScreenPlacer;
class SettingsKeeper;
class StudyLabelBoxes;
class StudyScreen;
class WorkerSaver;

class Form1 : public QMainWindow, private SessionHost {
  Q_OBJECT

 public:
  // `backend` names the acquisition backend in the window title.
  Form1(Workspace& ws, AcqDriver& driver, const QString& backend, QWidget* parent = nullptr);
  ~Form1() override;

  // Shows the window at its design size, or filling the desktop when that is smaller.
  void ShowFitted();

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
  // Exit: settings written, measurement ended, program ended. During a run it asks first.
  void ExitProgram();
  // The question whether to stop a running measurement and quit, while it waits, else null.
  QMessageBox* PendingQuit() const;

  // "View" on Data View: the chosen file read back and analysed.
  void ViewSavedMeasurement();
  // "View" on a trial's per-sample file: its pushes and torque on the Pushes screen.
  void ViewTrial();

  // 1 while a measurement run is going, else 0.
  int measuring() const { return session_->Running() ? 1 : 0; }
  // Samples of the cycle being sampled, or of the one the last run ended in.
  int samplesTaken() const { return session_->SampleNo(); }
  // The run (its trial's memory, say).
  const MeasurementSession& session() const { return *session_; }
  // How the last cycle handed over kept its ticks.
  const CycleTiming& lastTiming() const { return session_->LastTiming(); }
  int SaveMode = 0;

  // The screens; the ones created on first use are created by these.
  Form2& CardSetting() { return *form2_; }
  Form3& TextScreen();
  Form4& FileOption() { return *form4_; }
  Form5& Calibration() { return *form5_; }
  Form6& DataView();
  Form7& CalcResults() { return *form7_; }
  Form8& Pushes() { return *form8_; }
  FeedbackScreen& Feedback() { return *feedback_; }
  StudyScreen& Study();
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
  QAction* menuReport;
  QAction* menuNotices;
  QAction* menuExit;
  QAction* menuCalcScreen;
  QAction* menuPushes;
  QAction* menuCalibration;
  QAction* menuFileOption;
  QAction* menuDataView;
  QAction* menuCardSetting;
  QAction* menuTextScreen;
  NoticeLine* noticeLine;
  QPushButton* cmdNotices;
  QPushButton* cmdMarker;
  QPushButton* cmdFeedback;
  QAction* menuMarker;
  QAction* menuFeedback;
  QLineEdit* txtTrialLength;  // s; empty for trials without a set length
  QLabel* lblTrialLeft;       // the countdown of a trial of a set length
  QProgressBar* progressSamples;
  QLabel* lblSamples;  // "123 / 400 samples" above the bar
  // Whom the next trial is of, in which session and at which task.
  QLineEdit* txtParticipant;
  QLineEdit* txtSession;
  QLineEdit* txtTask;
  QPushButton* cmdStudy;
  QAction* menuStudy;

 signals:
  // A measurement cycle has been analysed, drawn and handed to the save worker.
  void cycleFinished();
  // A run has ended: its thread is gone and its last save is written.
  void runEnded();
  // The Pushes screen has been shown the trial with the pushes that became final since the
  // last time: the samples that made each final.
  void trialPushesShown(const std::vector<std::int64_t>& finals);
  // A push has been handed to the Feedback screen: the sample whose taking made it final.
  void feedbackGiven(std::int64_t sample_final);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildCondition(FormSurface& s);
  void BuildLamps(FormSurface& s);
  void BuildResults(FormSurface& s);
  void BuildButtons(FormSurface& s);
  void BuildStudyLabels(FormSurface& s);
  void BuildMenus();
  void SetTabOrder();
  // A screen of the program: placed when first shown, closed by Escape.
  void AddScreen(QWidget* screen);
  // What a new screen should not cover: the lamps and the button column, on the desktop.
  QRect KeptClear() const;

  void ApplyColours();
  void Notice(const QString& text);
  void Notice(const char* text) { Notice(QString(text)); }
  // The main window and the result screens name the saved measurement they show, if any.
  void ShowViewedFile(const QString& shown_path);
  // "cycle of 10:42:07, 2000 samples at 1 ms, not saved": the measurement in memory.
  QString WaitingText() const;

  // What the session tells its host.
  void Notice(const std::string& text) override;
  void CycleTaken(int cycle, const CycleTiming& timing) override;
  void Analysed(const AnalysisOutcome& outcome) override;
  void InternalError(int cycle, const std::string& what) override;
  void HandOver() override;
  void NumberAdvanced(int save_flag) override;
  void SaveDone(const PairSaved& pair, const FileNaming& names) override;
  void SaveFailed(const Problem& problem, int cycle) override;
  void CycleFinished(int cycle) override;
  void RunEnded(const RunEnd& end) override;
  void TrialPush(const TrialPushEvent& event) override;
  void MarkerPlaced(const TrialMarker& marker) override;
  void TrialEnded(const PushAnalysis& analysis, const TrialFacts& facts) override;
  std::string TrialFeedbackJson() const override;
  void TrialCatalogued(const TrialFacts& facts) override;
  // "View" on the Study screen: the trial's file chosen in Data View and shown.
  void ViewStudyTrial(const QString& path);
  // The backend and the study labels in the title, with the file shown, if any.
  void ShowTitle();
  // "Set baseline" on the Feedback screen: the pushes the Pushes screen shows.
  void SetFeedbackBaseline();

  // F6 and "Marker": the next marker at the latest sample of the run's trial.
  void PlaceMarker();
  void LabelMarker(int number, const QString& label);
  // The trial's pushes so far to the Pushes screen, once for all the news of one drain.
  void ShowTrialSoon();
  void ShowTrialLeft();

  Workspace& ws_;
  AcqDriver& driver_;
  SystemPacingClock clock_;
  // The settings the run is taken under, as the save boxes, Shift, the stroke conditions and
  // the push parameters say.
  SessionSettings settings_;
  std::unique_ptr<WorkerSaver> workerSaver_;
  std::unique_ptr<MeasurementSession> session_;
  std::unique_ptr<ReportActions> report_;
  TrialView* trialView_ = nullptr;
  std::unique_ptr<SettingsKeeper> keeper_;
  ConditionBoxes* conditions_ = nullptr;
  LiveView* live_ = nullptr;
  SaveWorker* saver_ = nullptr;
  NoticeLog* notices_ = nullptr;
  ScreenPlacer* placer_ = nullptr;
  QWidget* lampsFrame_ = nullptr;
  Form2* form2_ = nullptr;
  Form3* form3_ = nullptr;
  Form4* form4_ = nullptr;
  Form5* form5_ = nullptr;
  Form6* form6_ = nullptr;
  Form7* form7_ = nullptr;
  ResultBoxes mainResults_;  // the whole-record table
  Form8* form8_ = nullptr;
  FeedbackScreen* feedback_ = nullptr;
  QString baselineFrom_;  // where the feedback baseline came from, empty for none
  bool exiting_ = false;
  bool quitConfirmed_ = false;  // Yes to the question whether to stop the run and quit
  bool stopAsked_ = false;      // Stop was pressed during the run going on
  QPointer<QMessageBox> quitQuestion_;
  bool trialShowQueued_ = false;
  std::vector<std::int64_t> finalsToShow_;  // of the pushes not yet shown
  int lastMarker_ = 0;
  QTimer* trialLeftTimer_ = nullptr;
  QString backendTitle_;  // "Velquor10 - sim"
  QString title_;         // and the study labels
  QString shownPath_;     // the saved measurement shown, if any
  StudyLabelBoxes* labels_ = nullptr;
  StudyScreen* study_ = nullptr;
  QString dioProblem_;  // the notice of a failed port read, until the DIO device opens again
  QString cycleAt_;     // when the last cycle was taken, "hh:mm:ss"
};

}  // namespace velquor::ui
