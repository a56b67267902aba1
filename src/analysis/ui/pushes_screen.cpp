#include "analysis/ui/pushes_screen.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "analysis/empty_reasons.h"
#include "analysis/push_forms.h"
#include "common/number_text.h"
#include "common/path_map.h"
#include "files/push_csv_file.h"
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
  lblStatus = Label(this, QString(), 120, 1020, 14520, 330);
  lblStatus->setObjectName("lblStatus");
  lblStatus->setFrameShape(QFrame::Panel);
  lblStatus->setFrameShadow(QFrame::Sunken);
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
}

void Form8::SetParameters(const PushParameters& p) {
  parameters_ = p;
  for (int k = 0; k < kPushParameterCount; ++k) {
    txtParameter.at(static_cast<std::size_t>(k))
        ->setText(ToQ(PlainForm(PushParameterValue(p, static_cast<PushParameter>(k)))));
  }
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

void Form8::ShowAgain() {
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
    for (QTableWidget* t : tblPushes) t->setRowCount(0);
    for (QLabel* l : lblSummary) l->clear();
    for (PictureBase* p : {Picture_curve, Picture_time}) {
      p->frame().canvas().Clear();
      p->update();
    }
    SetStatus("The pushes could not be found: " + ToQ(a.problem().what));
    return;
  }
  shown_ = std::move(a.value());
  for (PictureBase* p : {Picture_curve, Picture_time}) {
    p->frame().SetLegendColour(0, GraphColor[0]);
    p->frame().SetLegendColour(1, GraphColor[1]);
  }
  DrawPushCurveGraph(Picture_curve->frame(), *shown_, GraphColor);
  DrawPushTimeGraph(Picture_time->frame(), rec, series, kin, *shown_, GraphColor);
  for (const WheelPushes& w : shown_->wheels) ShowTable(w);
  SetStatus(QString("%1 and %2 pushes found (ch0, ch1).")
                .arg(shown_->wheels[0].summary.pushes)
                .arg(shown_->wheels[1].summary.pushes));
  Picture_curve->update();
  Picture_time->update();
}

void Form8::ShowTable(const WheelPushes& w) {
  const PushSummary& s = w.summary;
  QString summary =
      QString("%1 pushes, %2 partial, %3 rejected; %4 steady; push frequency %5 /min")
          .arg(s.pushes)
          .arg(s.partial)
          .arg(s.rejected)
          .arg(s.steady)
          .arg(s.push_frequency_per_min ? ToQ(FigureCell(s.push_frequency_per_min)) : QString("-"));
  if (shown_) {
    if (auto why = NoSteadyPushReason(s, shown_->parameters)) summary += "; " + ToQ(*why);
  }
  lblSummary.at(static_cast<std::size_t>(w.wheel))->setText(summary);
  QTableWidget* t = tblPushes.at(static_cast<std::size_t>(w.wheel));
  const int rows = static_cast<int>(w.pushes.size()) + static_cast<int>(kSummaryRows.size());
  t->setUpdatesEnabled(false);
  t->clearContents();
  t->setRowCount(rows);
  QStringList labels;
  auto cell = [t](int row, int col, const std::string& text) {
    auto* item = new QTableWidgetItem(ToQ(text));
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    t->setItem(row, col, item);
  };
  int row = 0;
  for (const Push& p : w.pushes) {
    labels << QString::number(p.number);
    for (int f = 0; f < kPushFigureCount; ++f) {
      cell(row, f, FigureCell(p.Figure(static_cast<PushFigure>(f))));
    }
    ++row;
  }
  const std::array<std::optional<double> FigureSummary::*, 3> fields = {
      &FigureSummary::mean, &FigureSummary::sd, &FigureSummary::cv_pct};
  for (std::size_t r = 0; r < fields.size(); ++r) {
    labels << kSummaryRows.at(r);
    for (int f = 0; f < kPushFigureCount; ++f) {
      cell(row, f, FigureCell(s.Figure(static_cast<PushFigure>(f)).*fields.at(r)));
    }
    ++row;
  }
  t->setVerticalHeaderLabels(labels);
  t->setUpdatesEnabled(true);
}

void Form8::ChooseCsvFile() {
  if (!shown_) {
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
  if (!shown_) {
    SetStatus("Nothing to export: no measurement has been analysed yet.");
    return false;
  }
  // The file column names the measurement as the notices do, "/" between the parts.
  const Status st = WritePushCsvFile(FromQ(path), PushCsv(ToNativePath(source_), *shown_));
  if (!st) {
    const QString text = "The CSV was not written: " + ToQ(st.problem().Describe());
    SetStatus(text);
    emit notice(text);
    return false;
  }
  SetStatus(QString("Wrote %1 (%2 pushes).")
                .arg(path)
                .arg(shown_->wheels[0].pushes.size() + shown_->wheels[1].pushes.size()));
  return true;
}

}  // namespace velquor::ui
