#include "measure/ui/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <memory>

#include "analysis/ui/calc_results.h"
#include "analysis/ui/feedback_screen.h"
#include "analysis/ui/pushes_screen.h"
#include "calibration/ui/calibration_screen.h"
#include "catalogue/ui/study_progress.h"
#include "catalogue/ui/study_screen.h"
#include "daq/ui/card_setting.h"
#include "daq/ui/text_screen.h"
#include "files/ui/data_view.h"
#include "files/ui/file_option.h"
#include "files/ui/save_worker.h"
#include "measure/main_window_layout.h"
#include "measure/ui/condition_boxes.h"
#include "measure/ui/lamp.h"
#include "measure/ui/live_view.h"
#include "measure/ui/main_area.h"
#include "measure/ui/notice_line.h"
#include "measure/ui/notice_log.h"
#include "measure/ui/report_actions.h"
#include "measure/ui/screen_placer.h"
#include "measure/ui/settings_keeper.h"
#include "measure/ui/study_label_boxes.h"
#include "measure/ui/trial_view.h"
#include "measure/ui/worker_saver.h"
#include "plot/frame_geometry.h"
#include "plot/ui/picture_base.h"
#include "ui_kit/form_kit.h"

namespace velquor::ui {
namespace {

// Places in the column part, in twips: the condition, results and power graph in column A,
// the lamps and buttons in column B.
constexpr int kColumnA = 60;
constexpr int kColumnB = kButtonColumnLeft;
constexpr int kColumnWidth = 3600;
constexpr int kColumnBWidth = kButtonColumnWidth;
// The Participant, Session and Task boxes, under the results.
constexpr int kStudyTop = 4470;

}  // namespace

Form1::Form1(Workspace& ws, AcqDriver& driver, const QString& backend, QWidget* parent)
    : QMainWindow(parent), ws_(ws), driver_(driver) {
  setObjectName("Form1");
  backendTitle_ = "Velquor10 - " + backend;
  title_ = backendTitle_;
  setWindowTitle(title_);

  // The graphs on the left give way on a small desktop; the column on the right (the
  // condition, results, power graph, lamps and buttons) keeps its size.
  auto* area = new MainArea(this);
  setCentralWidget(area);
  FormSurface& graphs = area->graphs();
  FormSurface& column = area->column();
  for (int k = 0; k < kMainGraphCount; ++k) {
    const FrameGeometry& g = kForm1Frames.at(static_cast<std::size_t>(k));
    // The frames left of the column keep their design places; the power graph sits in the
    // column under the results.
    const bool inColumn = g.base.left >= kGraphPartWidth;
    FormSurface& part = inColumn ? column : graphs;
    auto* frame = new PictureBase(g, &part);
    frame->setObjectName(ArrayName("Picture_base", k));
    part.Place(frame, g.base.left - (inColumn ? kGraphPartWidth : 0), g.base.top, g.base.width,
               g.base.height);
    Picture_base.at(static_cast<std::size_t>(k)) = frame;
  }
  BuildCondition(column);
  BuildStudyLabels(column);
  BuildResults(column);
  mainResults_.Bind(column, MainResultFields(MainResultTexts{}));
  BuildLamps(column);
  BuildButtons(column);

  noticeLine = area->noticeLine();
  cmdNotices = area->noticesButton();
  notices_ = new NoticeLog(noticeLine, this);
  placer_ = new ScreenPlacer(*this, [this] { return KeptClear(); });
  AddScreen(notices_);
  BuildMenus();
  connect(cmdNotices, &QPushButton::clicked, this, [this] { ShowScreen(notices_); });
  notices_->SetMarkerLabeller(
      [this](int number, const QString& label) { LabelMarker(number, label); });
  SetTabOrder();
  // F10 opens the menu bar, as on other desktop programs.
  auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
  connect(f10, &QShortcut::activated, this, [this] {
    menuBar()->setFocus(Qt::MenuBarFocusReason);
    menuBar()->setActiveAction(menuBar()->actions().value(0));
  });

  saver_ = new SaveWorker(this);
  workerSaver_ = std::make_unique<WorkerSaver>(*saver_);
  SessionHost& host = *this;
  session_ =
      std::make_unique<MeasurementSession>(driver_,
                                           SessionParts{ws_.record, ws_.device, ws_.series, ws_.kin,
                                                        ws_.strokes, ws_.calibration, ws_.naming},
                                           clock_, settings_, host, *workerSaver_);
  // The acquisition thread wakes the window when a cycle is finished or the run has ended;
  // the lamp, the progress and the live trace look at its counters 25 times a second. The
  // sampling never waits for either.
  session_->SetWakeHook([this] {
    QMetaObject::invokeMethod(
        this, [this] { session_->Drain(); }, Qt::QueuedConnection);
  });
  live_ = new LiveView(*session_, ws_, settings_, *shape_Timer, *progressSamples, *lblSamples,
                       Picture_base.at(kTorqueGraph)->frame(), this);
  report_ = std::make_unique<ReportActions>(*this, ws_, settings_, *session_,
                                            [this](const QString& t) { Notice(t); });
  connect(cmdReport, &QPushButton::clicked, this, [this] { report_->ReportShown(); });

  // The screens that the settings and calibration files fill exist from the start; the
  // Card Setting screen too, as start-up opens the devices with its numbers.
  form2_ = new Form2(driver_, ws_.device, this);
  AddScreen(form2_);
  connect(form2_, &Form2::aioLamp, this,
          [this](bool green) { shape_AD->SetColour(green ? kLampGreen : kLampRed); });
  connect(form2_, &Form2::dioLamp, this, [this](bool green) {
    shape_DIO->SetColour(green ? kLampGreen : kLampRed);
    // The read problem that turned the lamp red is over once the device opens again.
    if (green && !dioProblem_.isEmpty() && noticeLine->text() == dioProblem_) noticeLine->clear();
    if (green) dioProblem_.clear();
  });
  connect(form2_, &Form2::notice, this, qOverload<const QString&>(&Form1::Notice));
  form4_ = new Form4(ws_, *saver_, this);
  AddScreen(form4_);
  connect(form4_, &Form4::notice, this, qOverload<const QString&>(&Form1::Notice));
  connect(form4_, &Form4::numberAdvanced, this, [this] { keeper_->SaveSettings(false); });
  form4_->SetSaveCheck([this] { return ToQ(session_->WhyNotSaved().value_or("")); });
  form5_ = new Form5(ws_, driver_, this);
  AddScreen(form5_);
  connect(form5_, &Form5::notice, this, qOverload<const QString&>(&Form1::Notice));
  connect(form5_, &Form5::timerLamp, this, [this](Rgb c) { shape_Timer->SetColour(c); });
  connect(form5_, &Form5::inForceChanged, shape_AD, &QWidget::setToolTip);
  form5_->SetRunSampleSource([this] { return live_->LatestSample(); });
  form7_ = new Form7(ws_.strokes, this);
  AddScreen(form7_);
  connect(form7_, &Form7::reSaveRequested, this, [this] {
    ws_.record.SaveFlag = 1;
    form4_->ShowFileOption();
  });
  // The settings file fills the push parameters, so this screen too exists from the start.
  form8_ = new Form8(this);
  AddScreen(form8_);
  connect(form8_, &Form8::notice, this, qOverload<const QString&>(&Form1::Notice));
  form8_->ReadRecordsFrom(*session_, ws_.GraphColor);
  trialView_ = new TrialView(
      ws_.calibration, *form8_, [this](const QString& text) { Notice(text); }, this);
  // The screen for the person pushing; its targets are kept in the settings file.
  feedback_ = new FeedbackScreen(this);
  placer_->Register(feedback_);
  connect(feedback_, &FeedbackScreen::notice, this, qOverload<const QString&>(&Form1::Notice));
  connect(feedback_, &FeedbackScreen::settingsChanged, this,
          [this] { keeper_->SaveSettings(false); });
  connect(feedback_, &FeedbackScreen::baselineWanted, this, &Form1::SetFeedbackBaseline);
  keeper_ = std::make_unique<SettingsKeeper>(
      ws_, settings_,
      SettingsKeeper::Screens{*txtTimerInterval, *txtDataNum, *txtSampTime, *chkAutoDataSave,
                              *chkManDataSave, *chkShift, *form4_, *form5_, *form7_, *form8_,
                              *placer_, *txtTrialLength, *feedback_, *txtParticipant, *txtSession,
                              *txtTask},
      [this](const QString& t) { Notice(t); });
  // A new count ends or lengthens the cycle being sampled; a new interval changes only the
  // time axis of what is drawn and saved.
  conditions_ = new ConditionBoxes(
      *txtTimerInterval, *txtDataNum, *txtSampTime, ws_.record, *notices_,
      [this] {
        session_->SetDataNum(static_cast<int>(ws_.record.DataNum));
        live_->ShowCount(session_->Running() ? session_->SampleNo() : live_->Shown());
      },
      this);

  labels_ = new StudyLabelBoxes(
      *txtParticipant, *txtSession, *txtTask, [this](const QString& t) { Notice(t); },
      [this] { ShowTitle(); }, this);

  // The countdown of a trial of a set length, while it is sampled.
  trialLeftTimer_ = new QTimer(this);
  trialLeftTimer_->setInterval(200);
  connect(trialLeftTimer_, &QTimer::timeout, this, &Form1::ShowTrialLeft);
}

Form1::~Form1() = default;

void Form1::ShowFitted() {
  // Room for a title bar and borders beside the design size.
  constexpr int kFrameRoom = 60;
  const QSize room = screen()->availableGeometry().size();
  const QSize wanted = sizeHint() + QSize(kFrameRoom / 4, kFrameRoom);
  if (wanted.width() > room.width() || wanted.height() > room.height()) {
    showMaximized();
  } else {
    resize(sizeHint());  // a window is otherwise held to two thirds of the desktop
    show();
  }
}

void Form1::BuildCondition(FormSurface& s) {
  QGroupBox* f = s.Frame(&s, "Frame1", "Measuring Condition", kColumnA, 60, kColumnWidth, 2100);
  s.Label(f, "Timer Interval", 120, 330, 1380, 300);
  txtTimerInterval = s.Edit(f, "txtTimerInterval", "20", 1500, 300, 720, 330);
  s.Label(f, "msec", 2280, 330, 1260, 300);
  s.Label(f, "Data Number", 120, 720, 1380, 300);
  txtDataNum = s.Edit(f, "txtDataNum", "100", 1500, 690, 720, 330);
  s.Label(f, "times (F2/F3)", 2280, 720, 1260, 300);
  s.Label(f, "Sampling Time", 120, 1110, 1380, 300);
  txtSampTime = s.Edit(f, "txtSampTime", QString(), 1500, 1080, 720, 330);
  UseMenuBackground(txtSampTime);
  s.Label(f, "sec", 2280, 1110, 1260, 300);
  chkAutoDataSave = s.Check(f, "chkAutoDataSave", "Auto Save (F1)", 120, 1440, 3000, 300);
  chkManDataSave = s.Check(f, "chkManDataSave", "Manual Save (F1)", 120, 1740, 3000, 300);

  RetInf = s.Label(&s, QString(), kColumnA, 2220, kColumnWidth, 330);
  RetInf->setObjectName("RetInf");
  RetInf->setFrameShape(QFrame::Panel);
  RetInf->setFrameShadow(QFrame::Sunken);
}

void Form1::BuildStudyLabels(FormSurface& s) {
  // Whom the next trial is of: set before Start, kept in the settings file.
  // Participant on a row of its own, Session and Task beside each other under it.
  struct Entry {
    QLineEdit** box;
    const char* name;
    const char* caption;
    int captionLeft, captionWidth, boxLeft, boxWidth, top;
  };
  constexpr int kSecondRow = kStudyTop + 390;
  const Entry entries[] = {
      {&txtParticipant, "txtParticipant", "&Participant", 60, 1080, 1200, 2340, kStudyTop},
      {&txtSession, "txtSession", "Sess&ion", 60, 780, 900, 840, kSecondRow},
      {&txtTask, "txtTask", "Tas&k", 1860, 480, 2340, 1200, kSecondRow},
  };
  for (const Entry& e : entries) {
    QLabel* caption =
        s.Label(&s, e.caption, kColumnA + e.captionLeft, e.top + 30, e.captionWidth, 300);
    *e.box = s.Edit(&s, e.name, QString(), kColumnA + e.boxLeft, e.top, e.boxWidth, 330);
    (*e.box)->setMaxLength(64);
    caption->setBuddy(*e.box);
  }
}

void Form1::BuildResults(FormSurface& s) {
  constexpr int kCols[3] = {kColumnA + 900, kColumnA + 1800, kColumnA + 2700};
  const char* heads[3] = {"Max.", "Av.", "Min."};
  for (int c = 0; c < 3; ++c) s.Label(&s, heads[c], kCols[c] + 120, 2640, 720, 300);
  struct Row {
    const char* unit;
    std::array<QLineEdit*, 2>* boxes[3];
    const char* names[3];
  };
  const Row rows[] = {
      {"(Nm)", {&txtTqMax, &txtTqAv, &txtTqMin}, {"txtTqMax", "txtTqAv", "txtTqMin"}},
      {"(m/s)",
       {&txtSpeedMax, &txtSpeedAv, &txtSpeedMin},
       {"txtSpeedMax", "txtSpeedAv", "txtSpeedMin"}},
  };
  int top = 2940;
  for (const Row& row : rows) {
    s.Label(&s, row.unit, kColumnA + 60, top + 180, 840, 300);
    for (int ch = 0; ch < 2; ++ch) {
      for (int c = 0; c < 3; ++c) {
        QLineEdit* box =
            s.Edit(&s, ArrayName(row.names[c], ch), QString(), kCols[c], top, 840, 330);
        MakeReadOut(box);
        box->setFocusPolicy(Qt::ClickFocus);  // read-outs: Tab goes past them
        row.boxes[c]->at(static_cast<std::size_t>(ch)) = box;
      }
      top += 330;
    }
    top += 90;
  }
  // Shift stands in the corner of the table's heads, leaving the room under it to the study
  // labels.
  chkShift = s.Check(&s, "chkShift", "Shift", kColumnA + 60, 2640, 840, 300);

  LiveView::BuildCount(s, kColumnA, 5250, kColumnWidth, progressSamples, lblSamples);

  // A trial of a set length ends with the cycle that reaches it; empty for none. The row sits
  // between the count and the power graph, what is left of the trial at its end.
  constexpr int kTrialTop = 5880;
  s.Label(&s, "Trial Length", kColumnA + 60, kTrialTop + 30, 1320, 300);
  txtTrialLength = s.Edit(&s, "txtTrialLength", QString(), kColumnA + 1380, kTrialTop, 660, 330);
  s.Label(&s, "sec", kColumnA + 2100, kTrialTop + 30, 360, 300);
  lblTrialLeft = s.Label(&s, QString(), kColumnA + 2460, kTrialTop + 30, kColumnWidth - 2460, 300);
  lblTrialLeft->setObjectName("lblTrialLeft");
  lblTrialLeft->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void Form1::BuildLamps(FormSurface& s) {
  QGroupBox* f = s.Frame(&s, "Frame2", "Condition", kColumnB, 60, kColumnBWidth, 2100);
  lampsFrame_ = f;
  struct Entry {
    Lamp** lamp;
    const char* name;
    const char* caption;
  };
  const Entry entries[] = {{&shape_AD, "shape_AD", "A/D open"},
                           {&shape_Timer, "shape_Timer", "Timer"},
                           {&shape_DIO, "shape_DIO", "DIO open"},
                           {&shape_AutoSave, "shape_AutoSave", "Auto Save"},
                           {&shape_ManSave, "shape_ManSave", "Man. Save"}};
  int top = 330;
  for (const Entry& e : entries) {
    auto* lamp = new Lamp(f);
    lamp->setObjectName(e.name);
    s.Place(lamp, 240, top, 270, 270);
    s.Label(f, e.caption, 660, top - 15, 1620, 300);
    *e.lamp = lamp;
    top += 345;
  }
  auto lampFollows = [](QCheckBox* box, Lamp* lamp) {
    connect(box, &QCheckBox::toggled, lamp,
            [lamp](bool on) { lamp->SetColour(on ? kLampGreen : kLampRed); });
  };
  lampFollows(chkAutoDataSave, shape_AutoSave);
  lampFollows(chkManDataSave, shape_ManSave);
}

void Form1::BuildButtons(FormSurface& s) {
  struct Entry {
    QPushButton** button;
    const char* name;
    const char* caption;
    int top;
  };
  const Entry entries[] = {
      {&cmdStart, "cmdStart", "&Start (F4)", 2280},
      {&cmdStop, "cmdStop", "S&top (F5)", 2760},
      {&cmdCardSetting, "cmdCardSetting", "&Card Setting", 3360},
      {&cmdTextScreen, "cmdTextScreen", "T&ext Screen", 3780},
      {&cmdFileOption, "cmdFileOption", "File &Option", 4200},
      {&cmdDataView, "cmdDataView", "&Data View", 4620},
      {&cmdCalibration, "cmdCalibration", "Ca&libration", 5040},
      {&cmdCalcScreen, "cmdCalcScreen", "C&alc. Screen", 5460},
      {&cmdPushes, "cmdPushes", "Pus&hes", 5880},
      {&cmdMarker, "cmdMarker", "&Marker (F6)", 6300},
      {&cmdReport, "cmdReport", "&Report...", 6720},
      {&cmdFeedback, "cmdFeedback", "Feed&back", 7140},
      {&cmdStudy, "cmdStudy", "Stud&y...", 7560},
      {&cmdExit, "cmdExit", "E&xit", 8040},
  };
  for (const Entry& e : entries) {
    const int height = e.top < 3000 ? 420 : 360;
    *e.button = s.Button(&s, e.name, e.caption, kColumnB, e.top, kColumnBWidth, height);
  }
  connect(cmdStart, &QPushButton::clicked, this, &Form1::StartAction);
  connect(cmdStop, &QPushButton::clicked, this, &Form1::StopAction);
  connect(cmdExit, &QPushButton::clicked, this, &Form1::ExitProgram);
  connect(cmdCardSetting, &QPushButton::clicked, this, [this] { ShowScreen(&CardSetting()); });
  connect(cmdTextScreen, &QPushButton::clicked, this, [this] { ShowScreen(&TextScreen()); });
  connect(cmdFileOption, &QPushButton::clicked, this, [this] { ShowScreen(&FileOption()); });
  connect(cmdDataView, &QPushButton::clicked, this, [this] { ShowScreen(&DataView()); });
  connect(cmdCalibration, &QPushButton::clicked, this, [this] { ShowScreen(&Calibration()); });
  connect(cmdCalcScreen, &QPushButton::clicked, this, [this] { ShowScreen(&CalcResults()); });
  connect(cmdPushes, &QPushButton::clicked, this, [this] { ShowScreen(&Pushes()); });
  connect(cmdMarker, &QPushButton::clicked, this, &Form1::PlaceMarker);
  connect(cmdFeedback, &QPushButton::clicked, this, [this] { ShowScreen(&Feedback()); });
  connect(cmdStudy, &QPushButton::clicked, this, [this] { ShowScreen(&Study()); });
}

void Form1::BuildMenus() {
  auto item = [](QMenu* menu, const char* name, const char* caption, const QKeySequence& key) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    if (!key.isEmpty()) {
      // The function keys work from every screen of the program, not only from this one.
      action->setShortcut(key);
      action->setShortcutContext(Qt::ApplicationShortcut);
    }
    return action;
  };
  // Alt and the underlined letter open a menu or press a button; the captions are as ever.
  QMenu* function = menuBar()->addMenu("&Function");
  function->setObjectName("menuFunction");
  menuSave = item(function, "menuSave", "&Save On/Off", QKeySequence(Qt::Key_F1));
  menuDownDataNum =
      item(function, "menuDownDataNum", "&Down Data Number", QKeySequence(Qt::Key_F2));
  menuUpDataNum = item(function, "menuUpDataNum", "&Up Data Number", QKeySequence(Qt::Key_F3));
  menuStart = item(function, "menuStart", "S&tart", QKeySequence(Qt::Key_F4));
  menuMeasure = item(function, "menuMeasure", "St&op", QKeySequence(Qt::Key_F5));
  menuMarker = item(function, "menuMarker", "&Marker", QKeySequence(Qt::Key_F6));
  connect(menuMarker, &QAction::triggered, this, &Form1::PlaceMarker);
  function->addSeparator();
  menuReport = item(function, "menuReport", "&Report...", {});
  menuNotices = item(function, "menuNotices", "&Notices...", {});
  function->addSeparator();
  menuExit = item(function, "menuExit", "E&xit", {});
  connect(menuSave, &QAction::triggered, this, &Form1::SaveOnOff);
  connect(menuDownDataNum, &QAction::triggered, this, &Form1::DownDataNum);
  connect(menuUpDataNum, &QAction::triggered, this, &Form1::UpDataNum);
  connect(menuStart, &QAction::triggered, this, &Form1::StartAction);
  connect(menuMeasure, &QAction::triggered, this, &Form1::StopAction);
  connect(menuReport, &QAction::triggered, cmdReport, &QPushButton::click);
  connect(menuNotices, &QAction::triggered, cmdNotices, &QPushButton::click);
  connect(menuExit, &QAction::triggered, cmdExit, &QPushButton::click);

  QMenu* window = menuBar()->addMenu("&Window");
  window->setObjectName("menuWindow");
  menuCalcScreen = item(window, "menuCalcScreen", "&Calculated Results Screen", {});
  menuPushes = item(window, "menuPushes", "&Pushes Screen", {});
  menuCalibration = item(window, "menuCalibration", "Ca&libration Screen", {});
  menuFileOption = item(window, "menuFileOption", "&File Option Screen", {});
  menuDataView = item(window, "menuDataView", "&Data View Screen", {});
  menuCardSetting = item(window, "menuCardSetting", "Card &Setting Screen", {});
  menuTextScreen = item(window, "menuTextScreen", "&Text Screen", {});
  menuFeedback = item(window, "menuFeedback", "Feed&back", {});
  menuStudy = item(window, "menuStudy", "Stud&y", {});
  connect(menuCalcScreen, &QAction::triggered, cmdCalcScreen, &QPushButton::click);
  connect(menuPushes, &QAction::triggered, cmdPushes, &QPushButton::click);
  connect(menuCalibration, &QAction::triggered, cmdCalibration, &QPushButton::click);
  connect(menuFileOption, &QAction::triggered, cmdFileOption, &QPushButton::click);
  connect(menuDataView, &QAction::triggered, cmdDataView, &QPushButton::click);
  connect(menuCardSetting, &QAction::triggered, cmdCardSetting, &QPushButton::click);
  connect(menuTextScreen, &QAction::triggered, cmdTextScreen, &QPushButton::click);
  connect(menuFeedback, &QAction::triggered, cmdFeedback, &QPushButton::click);
  connect(menuStudy, &QAction::triggered, cmdStudy, &QPushButton::click);
}

void Form1::AddScreen(QWidget* screen) {
  placer_->Register(screen);
  CloseOnEscape(screen);
}

QRect Form1::KeptClear() const {
  // The lamps and the column of Start, Stop and the screen buttons, on the desktop.
  QRect clear;
  for (const QWidget* w :
       {static_cast<const QWidget*>(lampsFrame_), static_cast<const QWidget*>(cmdExit)}) {
    clear |= QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
  }
  return clear;
}

void Form1::SetTabOrder() {
  // The condition first, then the buttons; typing starts in Timer Interval.
  QWidget* const chain[] = {
      txtTimerInterval, txtDataNum,    txtSampTime, chkAutoDataSave, chkManDataSave, chkShift,
      txtParticipant,   txtSession,    txtTask,     cmdStart,        cmdStop,        cmdCardSetting,
      cmdTextScreen,    cmdFileOption, cmdDataView, cmdCalibration,  cmdCalcScreen,  cmdPushes,
      cmdReport,        cmdStudy,      cmdExit,     cmdNotices};
  for (std::size_t k = 1; k < std::size(chain); ++k) {
    setTabOrder(chain[k - 1], chain[k]);
  }
  txtTimerInterval->setFocus();
}

Form3& Form1::TextScreen() {
  if (!form3_) {
    form3_ = new Form3(driver_, ws_.device, this);
    AddScreen(form3_);
    form3_->SetRunSampleSource([this] { return live_->LatestSample(); });
    connect(form3_, &Form3::notice, this, qOverload<const QString&>(&Form1::Notice));
    connect(form3_, &Form3::timerLamp, this, [this](Rgb c) { shape_Timer->SetColour(c); });
  }
  return *form3_;
}

StudyScreen& Form1::Study() {
  if (!study_) {
    study_ = new StudyScreen([this] { return ws_.naming.Auto.Dir; }, this);
    AddScreen(study_);
    connect(study_, &StudyScreen::notice, this, qOverload<const QString&>(&Form1::Notice));
    connect(study_, &StudyScreen::viewRequested, this, &Form1::ViewStudyTrial);
    connect(study_, &StudyScreen::reportRequested, this,
            [this](const std::vector<std::string>& paths) { report_->ReportFiles(paths); });
    connect(study_, &StudyScreen::compareRequested, this,
            [this](const std::vector<TrialToCompare>& trials) { report_->CompareTrials(trials); });
    study_->SetProgressAction(
        [this](const std::string& dir, const std::string& participant, const std::string& task) {
          WriteProgressReport(
              this, dir, participant, task, keeper_->Mdc(),
              [this](const QString& text) { Notice(text); }, report_->Runner());
        });
  }
  return *study_;
}

Form6& Form1::DataView() {
  if (!form6_) {
    form6_ = new Form6(ws_, this);
    AddScreen(form6_);
    connect(form6_, &Form6::notice, this, qOverload<const QString&>(&Form1::Notice));
    connect(form6_, &Form6::viewRequested, this, &Form1::ViewSavedMeasurement);
    connect(form6_, &Form6::trialViewRequested, this, &Form1::ViewTrial);
    connect(form6_, &Form6::reportRequested, this,
            [this] { report_->ReportFiles(form6_->SelectedDatPaths()); });
  }
  return *form6_;
}

void Form1::Notice(const QString& text) {
  notices_->Add(text);
}

}  // namespace velquor::ui
