#include "analysis/ui/pushes_screen.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "analysis/empty_reasons.h"
#include "analysis/push_forms.h"
#include "analysis/push_pairs.h"
#include "common/number_parse.h"
#include "common/number_text.h"
#include "common/path_map.h"
#include "files/push_csv_file.h"
#include "plot/plot_frame.h"
#include "plot/push_graphs.h"
#include "plot/ui/picture_base.h"

namespace velquor::ui {
namespace {

// Captions of the parameter boxes, in the parameters' order.
constexpr std::array<const char*, kPushParameterCount> kCaptions = {
    "Threshold (Nm)", "Min. peak (Nm)", "Min. push (s)",
    "Merge gap (s)",  "Skip first",     "Skip last"};
constexpr int kParameterStep = 2040;
constexpr std::array<const char*, 3> kSummaryRows = {"mean", "SD", "CV %"};
constexpr std::array<const char*, 2> kWindowCaptions = {"From (s)", "To (s)"};
// The graph colours until the screen reads them from a session: ch0, ch1 and the third.
constexpr std::array<Rgb, 3> kDefaultColours = {MakeRgb(255, 0, 0), MakeRgb(0, 0, 255),
                                                MakeRgb(0, 128, 0)};

void Cell(QTableWidget* t, int row, int col, const std::string& text) {
  auto* item = new QTableWidgetItem(ToQ(text));
  item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  t->setItem(row, col, item);
}

void FillPushRow(QTableWidget* t, int row, const Push& p) {
  t->setVerticalHeaderItem(row, new QTableWidgetItem(QString::number(p.number)));
  for (int f = 0; f < kPushFigureCount; ++f) {
    Cell(t, row, f, FigureCell(p.Figure(static_cast<PushFigure>(f))));
  }
}

// The mean, SD and CV rows from `row` on.
void FillSummaryRows(QTableWidget* t, int row, const PushSummary& s) {
  const std::array<std::optional<double> FigureSummary::*, 3> fields = {
      &FigureSummary::mean, &FigureSummary::sd, &FigureSummary::cv_pct};
  for (std::size_t r = 0; r < fields.size(); ++r) {
    t->setVerticalHeaderItem(row, new QTableWidgetItem(kSummaryRows.at(r)));
    for (int f = 0; f < kPushFigureCount; ++f) {
      Cell(t, row, f, FigureCell(s.Figure(static_cast<PushFigure>(f)).*fields.at(r)));
    }
    ++row;
  }
}

QString SummaryText(const PushSummary& s) {
  return QString("%1 pushes, %2 partial, %3 rejected; %4 steady; push frequency %5 /min")
      .arg(s.pushes)
      .arg(s.partial)
      .arg(s.rejected)
      .arg(s.steady)
      .arg(s.push_frequency_per_min ? ToQ(FigureCell(s.push_frequency_per_min)) : QString("-"));
}

// The pairs of left and right pushes: a row per pair (lag, then the index of every figure
// summarised), then the mean and SD rows over the pairs whose left push is steady.
void FillPairsTable(QTableWidget* t, QLabel* summary, const PushAnalysis& a) {
  const PushPairs pairs = PairPushes(a);
  std::vector<PushFigure> figures;
  for (int f = 0; f < kPushFigureCount; ++f) {
    if (IsSummarised(static_cast<PushFigure>(f))) figures.push_back(static_cast<PushFigure>(f));
  }
  t->setUpdatesEnabled(false);
  t->clearContents();
  const int rows = static_cast<int>(pairs.pairs.size());
  t->setRowCount(rows + 2);
  for (int k = 0; k < rows; ++k) {
    const PushPair& p = pairs.pairs.at(static_cast<std::size_t>(k));
    t->setVerticalHeaderItem(k, new QTableWidgetItem(QString("%1-%2").arg(p.left).arg(p.right)));
    Cell(t, k, 0, FigureCell(p.lag_ms));
    for (std::size_t f = 0; f < figures.size(); ++f) {
      Cell(t, k, static_cast<int>(f) + 1, FigureCell(p.Si(figures[f])));
    }
  }
  const std::array<std::optional<double> MeanSd::*, 2> fields = {&MeanSd::mean, &MeanSd::sd};
  for (std::size_t r = 0; r < fields.size(); ++r) {
    const int row = rows + static_cast<int>(r);
    t->setVerticalHeaderItem(row, new QTableWidgetItem(kSummaryRows.at(r)));
    Cell(t, row, 0, FigureCell(pairs.summary.lag_ms.*fields[r]));
    for (std::size_t f = 0; f < figures.size(); ++f) {
      Cell(t, row, static_cast<int>(f) + 1, FigureCell(pairs.summary.Si(figures[f]).*fields[r]));
    }
  }
  t->setUpdatesEnabled(true);
  summary->setText(QString("%1 pairs of a left and a right push, %2 with a steady left push; "
                           "lag in ms (right onset - left onset), symmetry indices in %: "
                           "100 x (R - L) / mean of R and L")
                       .arg(rows)
                       .arg(pairs.summary.steady));
}

QString WindowText(const std::optional<double>& v) {
  return v ? ToQ(PlainForm(*v)) : QString();
}

QString Caption(PushFigure f) {
  return ToQ(kPushFigureNames.at(static_cast<std::size_t>(f)));
}

PictureBase* Picture(FormSurface& s, const FrameGeometry& g, const char* name) {
  auto* p = new PictureBase(g, &s);
  p->setObjectName(name);
  s.Place(p, g.base.left, g.base.top, g.base.width, g.base.height);
  return p;
}

}  // namespace

Form8::Form8(QWidget* parent) : FormSurface(14760, 10680, parent) {
  setObjectName("Form8");
  setWindowFlag(Qt::Window);
  setWindowTitle("Pushes");
  BuildParameters();
  Picture_curve = Picture(*this, kPushCurveFrame, "Picture_curve");
  Picture_time = Picture(*this, kPushTimeFrame, "Picture_time");
  BuildTables();
  cmdClose = Button(this, "cmdClose", "Close Screen", 120, 10200, 1440, 390);
  connect(cmdClose, &QPushButton::clicked, this, &QWidget::hide);
  SetParameters(PushParameters{});
}

void Form8::BuildParameters() {
  QGroupBox* f = Frame(this, "framePushDetection", "Push Detection", 120, 60, 14520, 900);
  for (int k = 0; k < kPushParameterCount; ++k) {
    const int left = 120 + k * kParameterStep;
    Label(f, kCaptions.at(static_cast<std::size_t>(k)), left, 360, 1380, 300);
    const QString name = "txt" + ToQ(kPushParameterNames.at(static_cast<std::size_t>(k)));
    txtParameter.at(static_cast<std::size_t>(k)) =
        Edit(f, name, QString(), left + 1380, 330, 600, 330);
    connect(txtParameter.at(static_cast<std::size_t>(k)), &QLineEdit::returnPressed, this,
            &Form8::Apply);
  }
  cmdApply = Button(f, "cmdApply", "Apply", 12360, 300, 900, 390);
  cmdExportCsv = Button(f, "cmdExportCsv", "Export CSV...", 13320, 300, 1140, 390);
  connect(cmdApply, &QPushButton::clicked, this, &Form8::Apply);
  connect(cmdExportCsv, &QPushButton::clicked, this, &Form8::ChooseCsvFile);
  lblStatus = Label(this, QString(), 120, 1020, 6900, 330);
  lblStatus->setObjectName("lblStatus");
  lblStatus->setFrameShape(QFrame::Panel);
  lblStatus->setFrameShadow(QFrame::Sunken);

  // The summary window, "last N s" and the choice of what is shown.
  for (int k = 0; k < 2; ++k) {
    const int left = 7140 + k * 1560;
    Label(this, kWindowCaptions.at(static_cast<std::size_t>(k)), left, 1050, 780, 300);
    QLineEdit* box = Edit(this, "txt" + ToQ(kSummaryBoundNames.at(static_cast<std::size_t>(k))),
                          QString(), left + 780, 1020, 720, 330);
    box->setPlaceholderText("open");
    connect(box, &QLineEdit::returnPressed, this, &Form8::Apply);
    txtWindow.at(static_cast<std::size_t>(k)) = box;
  }
  cmdLast = Button(this, "cmdLast", "Last", 10260, 1000, 600, 370);
  txtLast = Edit(this, "txtLast", "60", 10920, 1020, 480, 330);
  Label(this, "s", 11430, 1050, 180, 300);
  connect(cmdLast, &QPushButton::clicked, this, &Form8::ApplyLast);
  connect(txtLast, &QLineEdit::returnPressed, this, &Form8::ApplyLast);
  optTrial = Option(this, "optTrial", "this trial", 11700, 1020, 1320, 330);
  optCycle = Option(this, "optCycle", "the last cycle", 13080, 1020, 1560, 330);
  optCycle->setChecked(true);
  connect(optTrial, &QRadioButton::clicked, this, [this] {
    cycleChosen_ = false;
    ChooseView();
  });
  connect(optCycle, &QRadioButton::clicked, this, [this] {
    cycleChosen_ = true;
    ChooseView();
  });
}

void Form8::BuildTables() {
  tabWheels = new QTabWidget(this);
  tabWheels->setObjectName("tabWheels");
  Place(tabWheels, 120, 4980, 14520, 5100);
  for (int w = 0; w < 2; ++w) {
    auto* page = new QWidget(tabWheels);
    auto* layout = new QVBoxLayout(page);
    lblSummary.at(static_cast<std::size_t>(w)) = new QLabel(page);
    lblSummary.at(static_cast<std::size_t>(w))->setObjectName(ArrayName("lblSummary", w));
    auto* table = new QTableWidget(0, kPushFigureCount, page);
    table->setObjectName(ArrayName("tblPushes", w));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QStringList headers;
    for (int f = 0; f < kPushFigureCount; ++f) headers << Caption(static_cast<PushFigure>(f));
    table->setHorizontalHeaderLabels(headers);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    layout->addWidget(lblSummary.at(static_cast<std::size_t>(w)));
    layout->addWidget(table);
    tblPushes.at(static_cast<std::size_t>(w)) = table;
    tabWheels->addTab(page, w == 0 ? "ch0 (left)" : "ch1 (right)");
  }
  auto* page = new QWidget(tabWheels);
  auto* layout = new QVBoxLayout(page);
  lblPairs = new QLabel(page);
  lblPairs->setObjectName("lblPairs");
  lblPairs->setWordWrap(true);
  QStringList headers{"lag_ms"};
  for (int f = 0; f < kPushFigureCount; ++f) {
    if (IsSummarised(static_cast<PushFigure>(f)))
      headers << "si_" + Caption(static_cast<PushFigure>(f));
  }
  tblPairs = new QTableWidget(0, static_cast<int>(headers.size()), page);
  tblPairs->setObjectName("tblPairs");
  tblPairs->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tblPairs->setHorizontalHeaderLabels(headers);
  tblPairs->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  tblPairs->verticalHeader()->setDefaultSectionSize(tblPairs->fontMetrics().height() + 6);
  layout->addWidget(lblPairs);
  layout->addWidget(tblPairs);
  tabWheels->addTab(page, "Left/right");
  // Pairing runs over the whole list: while a trial grows it is done when the tab is looked at.
  connect(tabWheels, &QTabWidget::currentChanged, this, [this] { ShowPairs(); });
}

void Form8::ShowPairs() {
  if (tabWheels->currentWidget() != tblPairs->parentWidget()) return;
  const std::optional<PushAnalysis>& a = ShowingTrial() ? trial_ : shown_;
  if (!a) {
    tblPairs->setRowCount(0);
    lblPairs->clear();
    return;
  }
  FillPairsTable(tblPairs, lblPairs, *a);
}

void Form8::SetParameters(const PushParameters& p) {
  parameters_ = p;
  for (int k = 0; k < kPushParameterCount; ++k) {
    txtParameter.at(static_cast<std::size_t>(k))
        ->setText(ToQ(PlainForm(PushParameterValue(p, static_cast<PushParameter>(k)))));
  }
  txtWindow[0]->setText(WindowText(p.from_s));
  txtWindow[1]->setText(WindowText(p.to_s));
}

bool Form8::Apply() {
  PushParameters p = parameters_;
  for (int k = 0; k < kPushParameterCount; ++k) {
    QLineEdit* box = txtParameter.at(static_cast<std::size_t>(k));
    if (Status st = SetPushParameter(p, static_cast<PushParameter>(k), FromQ(box->text())); !st) {
      SetStatus("Not applied: " + ToQ(st.problem().what));
      box->setFocus();
      return false;
    }
  }
  for (const SummaryBound which : {SummaryBound::kFrom, SummaryBound::kTo}) {
    QLineEdit* box = txtWindow.at(static_cast<std::size_t>(which));
    if (Status st = SetSummaryBound(p, which, FromQ(box->text())); !st) {
      SetStatus("Not applied: " + ToQ(st.problem().what));
      box->setFocus();
      return false;
    }
  }
  parameters_ = p;
  SetStatus("Applied.");
  emit applied();
  ShowAgain();
  return true;
}

void Form8::ReadRecordsFrom(const MeasurementSession& session,
                            const std::array<Rgb, 3>& GraphColor) {
  session_ = &session;
  colours_ = &GraphColor;
}

bool Form8::ShowingTrial() const {
  return optTrial->isChecked();
}

std::array<Rgb, 3> Form8::GraphColours() const {
  return colours_ != nullptr ? *colours_ : kDefaultColours;
}

// "Last N s": the window from N s before the end of what is shown to its end.
void Form8::ApplyLast() {
  const std::optional<double> n = ParseComplete(FromQ(txtLast->text()));
  if (!n || !std::isfinite(*n) || *n <= 0) {
    SetStatus("Not applied: \"last N s\" takes a number of seconds above 0, not \"" +
              txtLast->text() + "\"");
    txtLast->setFocus();
    return;
  }
  const std::optional<PushAnalysis>& a = ShowingTrial() ? trial_ : shown_;
  if (!a) {
    SetStatus("Not applied: nothing is shown to take the last seconds of.");
    return;
  }
  const double end = static_cast<double>(a->samples) * a->dt;
  txtWindow[0]->setText(ToQ(PlainForm(std::max(0.0, end - *n))));
  txtWindow[1]->clear();
  Apply();
}

void Form8::ChooseView() {
  if (ShowingTrial()) {
    if (trial_) {
      DrawTrial();
    } else {
      ClearShown("No trial has been measured or viewed yet.");
    }
    return;
  }
  if (shown_ && session_ != nullptr && session_->HasAnalysedRecord()) {
    ShowPushes(session_->Record(), session_->Series(), session_->Kinematics(), GraphColours(),
               source_);
  } else {
    ClearShown("No cycle has been measured or viewed yet.");
  }
}

void Form8::ShowAgain() {
  if (ShowingTrial()) {
    // A trial measured takes the parameters at the next start; one viewed is its host's to
    // analyse again (the `applied` signal).
    // A trial viewed from its file is analysed again by its host (it draws its torque).
    SetStatus(trialTorque_ ? "Applied; the trial is analysed again with them."
                           : "Applied; the next trial is analysed with them.");
    return;
  }
  // The series belong to the record unless its analysis failed: the cycle being sampled
  // never touches either.
  if (session_ == nullptr || !session_->HasAnalysedRecord() || !HasMeasurement()) {
    SetStatus("Applied; the next measurement cycle or View is analysed with them.");
    return;
  }
  ShowPushes(session_->Record(), session_->Series(), session_->Kinematics(), *colours_, source_);
}

void Form8::SetStatus(const QString& text) {
  lblStatus->setText(text);
}

void Form8::ShowPushes(const MeasurementRecord& rec, const DerivedSeries& series,
                       const KinematicsResults& kin, const std::array<Rgb, 3>& GraphColor,
                       const std::string& source) {
  ShowPushes(rec, series, kin, GraphColor, source, AnalysePushes(series, rec, parameters_));
}

void Form8::ShowPushes(const MeasurementRecord& rec, const DerivedSeries& series,
                       const KinematicsResults& kin, const std::array<Rgb, 3>& GraphColor,
                       const std::string& source, Result<PushAnalysis> a) {
  source_ = source;
  if (!a) {
    shown_.reset();
    if (!ShowingTrial()) ClearShown("The pushes could not be found: " + ToQ(a.problem().what));
    return;
  }
  shown_ = std::move(a.value());
  if (ShowingTrial()) return;  // drawn when "the last cycle" is chosen
  for (PictureBase* p : {Picture_curve, Picture_time}) {
    p->frame().SetLegendColour(0, GraphColor[0]);
    p->frame().SetLegendColour(1, GraphColor[1]);
  }
  DrawPushCurveGraph(Picture_curve->frame(), *shown_, GraphColor);
  DrawPushTimeGraph(Picture_time->frame(), rec, series, kin, *shown_, GraphColor);
  for (const WheelPushes& w : shown_->wheels) ShowTable(w);
  ShowPairs();
  SetStatus(QString("%1 and %2 pushes found (ch0, ch1).")
                .arg(shown_->wheels[0].summary.pushes)
                .arg(shown_->wheels[1].summary.pushes));
  Picture_curve->update();
  Picture_time->update();
}

void Form8::ClearShown(const QString& status) {
  for (QTableWidget* t : tblPushes) t->setRowCount(0);
  for (QLabel* l : lblSummary) l->clear();
  for (PictureBase* p : {Picture_curve, Picture_time}) {
    p->frame().canvas().Clear();
    p->update();
  }
  trialRows_ = {};
  SetStatus(status);
}

void Form8::ChooseTrial() {
  cycleChosen_ = false;
}

void Form8::SetTrialTorque(std::function<void(PlotFrame&, const PushAnalysis&)> draw) {
  trialTorque_ = std::move(draw);
}

void Form8::ShowTrial(const PushAnalysis& analysis, bool live) {
  // Only a running trial's next pushes are added to the rows already there; anything else
  // (a new trial, its end, a trial viewed, new parameters) is written afresh.
  const bool more = trial_ && live && trialLive_ && analysis.samples >= trial_->samples;
  const bool afresh = !more;
  if (live) trialTorque_ = nullptr;  // a running trial's torque is on the main window
  if (afresh && live) trialSource_.clear();
  trial_ = analysis;
  trialLive_ = live;
  if (!ShowingTrial()) {
    if (cycleChosen_) return;
    optTrial->setChecked(true);
    trialRows_ = {};
  }
  if (afresh) trialRows_ = {};
  const bool rebuild = trialRows_[0] == 0 && trialRows_[1] == 0;
  for (const WheelPushes& w : trial_->wheels) ShowTrialRows(w, rebuild);
  ShowPairs();
  DrawTrial();
}

// The trial's rows: pushes not yet in the table are added, the last push already there is
// written again (its figures reaching to the next may have come), then the summary rows.
void Form8::ShowTrialRows(const WheelPushes& w, bool afresh) {
  const auto wheel = static_cast<std::size_t>(w.wheel);
  QTableWidget* t = tblPushes.at(wheel);
  lblSummary.at(wheel)->setText(SummaryText(w.summary) +
                                (trialLive_ ? QString(" (so far)") : QString()));
  const int pushes = static_cast<int>(w.pushes.size());
  int& shown = trialRows_.at(wheel);
  if (afresh || pushes < shown) {
    t->clearContents();
    t->setRowCount(0);
    shown = 0;
  }
  t->setUpdatesEnabled(false);
  t->setRowCount(pushes + static_cast<int>(kSummaryRows.size()));
  for (int k = std::max(0, shown - 1); k < pushes; ++k) {
    FillPushRow(t, k, w.pushes.at(static_cast<std::size_t>(k)));
  }
  FillSummaryRows(t, pushes, w.summary);
  shown = pushes;
  t->setUpdatesEnabled(true);
}

void Form8::DrawTrial() {
  const std::array<Rgb, 3> colours = GraphColours();
  for (PictureBase* p : {Picture_curve, Picture_time}) {
    p->frame().SetLegendColour(0, colours[0]);
    p->frame().SetLegendColour(1, colours[1]);
  }
  if (trialRows_[0] == 0 && trialRows_[1] == 0) {
    for (const WheelPushes& w : trial_->wheels) ShowTrialRows(w, true);
  }
  DrawPushCurveGraph(Picture_curve->frame(), *trial_, colours);
  if (trialTorque_ && !trialLive_) {
    trialTorque_(Picture_time->frame(), *trial_);
  } else {
    Picture_time->frame().canvas().Clear();
  }
  const double seconds = static_cast<double>(trial_->samples) * trial_->dt;
  SetStatus(QString("Trial%1: %2 and %3 pushes (ch0, ch1) in %4 s%5.")
                .arg(trialSource_.empty() ? QString() : " " + ToQ(trialSource_))
                .arg(trial_->wheels[0].pushes.size())
                .arg(trial_->wheels[1].pushes.size())
                .arg(ToQ(PlainForm(seconds)))
                .arg(trialLive_ ? QString(" so far") : QString()));
  Picture_curve->update();
  Picture_time->update();
}

void Form8::ShowTable(const WheelPushes& w) {
  QString summary = SummaryText(w.summary);
  if (shown_) {
    if (auto why = NoSteadyPushReason(w.summary, shown_->parameters)) summary += "; " + ToQ(*why);
  }
  lblSummary.at(static_cast<std::size_t>(w.wheel))->setText(summary);
  QTableWidget* t = tblPushes.at(static_cast<std::size_t>(w.wheel));
  const int pushes = static_cast<int>(w.pushes.size());
  t->setUpdatesEnabled(false);
  t->clearContents();
  t->setRowCount(pushes + static_cast<int>(kSummaryRows.size()));
  for (int k = 0; k < pushes; ++k) FillPushRow(t, k, w.pushes.at(static_cast<std::size_t>(k)));
  FillSummaryRows(t, pushes, w.summary);
  t->setUpdatesEnabled(true);
  trialRows_ = {};  // the tables hold the cycle now
}

void Form8::ChooseCsvFile() {
  if (!(ShowingTrial() ? trial_ : shown_)) {
    SetStatus("Nothing to export: no measurement has been analysed yet.");
    return;
  }
  // Not modal to the program: a measurement goes on while the dialog is open.
  auto* dialog = new QFileDialog(this, "Export CSV");
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setOption(QFileDialog::DontConfirmOverwrite);  // an existing file is refused
  dialog->setNameFilter("CSV files (*.csv)");
  dialog->setDefaultSuffix("csv");
  // STEM_pushes.csv beside the measurement's files.
  const QFileInfo proposed(ToQ(ProposedPushCsvPath(source_)));
  dialog->setDirectory(proposed.absolutePath());
  dialog->selectFile(proposed.fileName());
  connect(dialog, &QFileDialog::fileSelected, this,
          [this](const QString& path) { ExportCsv(path); });
  dialog->show();
}

bool Form8::ExportCsv(const QString& path) {
  const std::optional<PushAnalysis>& a = ShowingTrial() ? trial_ : shown_;
  if (!a) {
    SetStatus("Nothing to export: no measurement has been analysed yet.");
    return false;
  }
  // The file column names the measurement as the notices do, "/" between the parts.
  const Status st = WritePushCsvFile(
      FromQ(path), PushCsv(ToNativePath(ShowingTrial() ? trialSource_ : source_), *a));
  if (!st) {
    const QString text = "The CSV was not written: " + ToQ(st.problem().Describe());
    SetStatus(text);
    emit notice(text);
    return false;
  }
  SetStatus(QString("Wrote %1 (%2 pushes).")
                .arg(path)
                .arg(a->wheels[0].pushes.size() + a->wheels[1].pushes.size()));
  return true;
}

}  // namespace velquor::ui
