#include "analysis/ui/feedback_screen.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "analysis/ui/feedback_tile.h"
#include "analysis/ui/tone_output.h"

namespace velquor::ui {
namespace {

constexpr std::array<FeedbackSchedule, 4> kSchedules = {
    FeedbackSchedule::kEveryPush, FeedbackSchedule::kFaded, FeedbackSchedule::kOutOfBand,
    FeedbackSchedule::kOff};
constexpr std::array<const char*, 4> kScheduleCaptions = {
    "Every push", "Faded (every push in the first minute, one in four from minute 5)",
    "Only when out of band", "Off (shows only \"measuring\")"};

QString Name(int variable) {
  const std::string_view n = FeedbackVariableName(variable);
  return QString::fromUtf8(n.data(), static_cast<qsizetype>(n.size()));
}

// The variable's words and unit from its name: "contact_angle_deg" is "Contact angle", "deg".
std::pair<QString, QString> TitleAndUnit(int variable) {
  static const std::array<std::pair<const char*, const char*>, 9> kUnits = {{
      {"_Nm_per_s", "Nm/s"},
      {"_m_per_s", "m/s"},
      {"_per_min", "/min"},
      {"_pct", "%"},
      {"_deg", "deg"},
      {"_Nm", "Nm"},
      {"_s", "s"},
      {"_W", "W"},
      {"_J", "J"},
  }};
  QString name = Name(variable);
  QString unit;
  for (const auto& [suffix, u] : kUnits) {
    if (name.endsWith(QLatin1String(suffix))) {
      name.chop(static_cast<int>(qstrlen(suffix)));
      unit = QString::fromUtf8(u);
      break;
    }
  }
  name.replace('_', ' ');
  if (!name.isEmpty()) name[0] = name[0].toUpper();
  return {name, unit};
}

}  // namespace

FeedbackScreen::FeedbackScreen(QWidget* parent)
    : QWidget(parent, Qt::Window), settings_(DefaultFeedbackSettings()) {
  setObjectName("Feedback");
  setWindowTitle("Feedback");
  setStyleSheet("FeedbackScreen { background: black; }");
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::black);
  setPalette(pal);

  auto* outer = new QVBoxLayout(this);
  stack_ = new QStackedWidget(this);
  tileArea_ = new QWidget(stack_);
  grid_ = new QGridLayout(tileArea_);
  grid_->setSpacing(8);
  lblMeasuring = new QLabel("measuring", stack_);
  lblMeasuring->setAlignment(Qt::AlignCenter);
  QFont big = lblMeasuring->font();
  big.setPixelSize(96);
  big.setBold(true);
  lblMeasuring->setFont(big);
  lblMeasuring->setStyleSheet("color: white; background: black;");
  stack_->addWidget(tileArea_);
  stack_->addWidget(lblMeasuring);
  outer->addWidget(stack_, 1);

  panel_ = new QWidget(this);
  panel_->setAutoFillBackground(true);
  panel_->setPalette(QApplication::palette());
  auto* panelLayout = new QVBoxLayout(panel_);
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel("Schedule:", panel_));
  cboSchedule = new QComboBox(panel_);
  cboSchedule->setObjectName("cboSchedule");
  for (const char* caption : kScheduleCaptions) cboSchedule->addItem(caption);
  row->addWidget(cboSchedule, 1);
  cmdBaseline = new QPushButton("Set baseline", panel_);
  cmdBaseline->setObjectName("cmdBaseline");
  row->addWidget(cmdBaseline);
  cmdApply = new QPushButton("Apply", panel_);
  cmdApply->setObjectName("cmdApply");
  row->addWidget(cmdApply);
  panelLayout->addLayout(row);
  tblTargets = new QTableWidget(kMaxFeedbackVariables, 4, panel_);
  tblTargets->setObjectName("tblTargets");
  tblTargets->setHorizontalHeaderLabels({"Variable", "Low", "High", "Tone"});
  tblTargets->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  tblTargets->verticalHeader()->hide();
  tblTargets->setToolTip(
      "Low and high ends of each band: a value in the variable's unit, a percentage of the "
      "baseline (\"+10%\", \"-10%\"), or empty for no limit.");
  tblTargets->setMinimumHeight(
      tblTargets->horizontalHeader()->sizeHint().height() +
      kMaxFeedbackVariables * tblTargets->verticalHeader()->defaultSectionSize() + 4);
  panelLayout->addWidget(tblTargets);
  lblStatus = new QLabel(panel_);
  lblStatus->setObjectName("lblStatus");
  lblStatus->setWordWrap(true);
  panelLayout->addWidget(lblStatus);
  outer->addWidget(panel_);

  cmdTargets = new QPushButton("Targets...", this);
  cmdTargets->setObjectName("cmdTargets");
  cmdTargets->setCheckable(true);
  cmdTargets->setChecked(true);
  outer->addWidget(cmdTargets, 0, Qt::AlignRight);
  connect(cmdTargets, &QPushButton::toggled, panel_, &QWidget::setVisible);
  connect(cmdApply, &QPushButton::clicked, this, [this] { ApplyTargets(); });
  connect(cmdBaseline, &QPushButton::clicked, this, &FeedbackScreen::baselineWanted);

  tone_ = std::make_unique<ToneOutput>();
  FillTargetsPanel();
  Rebuild();
  resize(1000, 700);
}

FeedbackScreen::~FeedbackScreen() = default;

bool FeedbackScreen::ToneAvailable() const {
  return tone_->Available();
}

void FeedbackScreen::SetSettings(const FeedbackSettings& s) {
  settings_ = s;
  FillTargetsPanel();
  Rebuild();
}

void FeedbackScreen::FillTargetsPanel() {
  cboSchedule->setCurrentIndex(static_cast<int>(settings_.schedule));
  for (int r = 0; r < kMaxFeedbackVariables; ++r) {
    auto* variable = new QComboBox(tblTargets);
    variable->addItem("(none)");
    for (int v = 0; v < kFeedbackVariableCount; ++v) {
      if (v == static_cast<int>(PushFigure::kOn) || v == static_cast<int>(PushFigure::kOff)) {
        continue;
      }
      variable->addItem(Name(v), v);
    }
    const auto k = static_cast<std::size_t>(r);
    const Target* t = k < settings_.targets.size() ? &settings_.targets[k] : nullptr;
    if (t) variable->setCurrentIndex(std::max(0, variable->findData(t->variable)));
    tblTargets->setCellWidget(r, 0, variable);
    tblTargets->setItem(r, 1,
                        new QTableWidgetItem(t ? QString::fromStdString(BandEndText(t->low)) : ""));
    tblTargets->setItem(
        r, 2, new QTableWidgetItem(t ? QString::fromStdString(BandEndText(t->high)) : ""));
    auto* tone = new QCheckBox(tblTargets);
    tone->setChecked(t && t->tone);
    tone->setEnabled(tone_->Available());
    tone->setToolTip(tone_->Available() ? "A short tone when a push falls outside this band"
                                        : tone_->WhyNot());
    tblTargets->setCellWidget(r, 3, tone);
  }
  if (!tone_->Available()) lblStatus->setText(tone_->WhyNot());
}

bool FeedbackScreen::ApplyTargets() {
  FeedbackSettings s;
  s.schedule =
      kSchedules.at(static_cast<std::size_t>(std::clamp(cboSchedule->currentIndex(), 0, 3)));
  for (int r = 0; r < kMaxFeedbackVariables; ++r) {
    auto* variable = qobject_cast<QComboBox*>(tblTargets->cellWidget(r, 0));
    if (!variable || variable->currentIndex() <= 0) continue;
    Target t;
    t.variable = variable->currentData().toInt();
    const std::array<std::pair<int, BandEnd*>, 2> ends = {{{1, &t.low}, {2, &t.high}}};
    for (const auto& [column, end] : ends) {
      const QTableWidgetItem* item = tblTargets->item(r, column);
      const Result<BandEnd> parsed = ParseBandEnd(item ? item->text().toStdString() : "");
      if (!parsed) {
        lblStatus->setText(QString("Row %1, %2 of %3: %4")
                               .arg(r + 1)
                               .arg(column == 1 ? "low" : "high")
                               .arg(Name(t.variable))
                               .arg(QString::fromStdString(parsed.problem().what)));
        return false;
      }
      *end = parsed.value();
    }
    auto* tone = qobject_cast<QCheckBox*>(tblTargets->cellWidget(r, 3));
    t.tone = tone && tone->isChecked();
    s.targets.push_back(t);
  }
  if (Status st = CheckFeedbackSettings(s); !st) {
    lblStatus->setText(QString::fromStdString(st.problem().what));
    return false;
  }
  settings_ = s;
  Rebuild();
  lblStatus->setText(live_->Model().Problems().empty()
                         ? "Targets in force."
                         : QString::fromStdString(live_->Model().Problems().front().what));
  emit settingsChanged();
  return true;
}

void FeedbackScreen::SetBaseline(const PushAnalysis& a, const QString& from) {
  baseline_ = {BaselineOf(a.wheels[0]), BaselineOf(a.wheels[1])};
  baselineFrom_ = from;
  Rebuild();
  const QString text = "Baseline set from " + from + " (steady pushes: left " +
                       QString::number(a.wheels[0].summary.steady) + ", right " +
                       QString::number(a.wheels[1].summary.steady) + ").";
  lblStatus->setText(text);
  emit notice(text);
}

void FeedbackScreen::StartTrial() {
  // The same tiles, emptied: the new trial's pushes fill them.
  live_ = std::make_unique<LiveFeedback>(settings_, baseline_);
  Redraw(0);
  Redraw(1);
}

void FeedbackScreen::Rebuild() {
  live_ = std::make_unique<LiveFeedback>(settings_, baseline_);
  // The tiles of the variables chosen before go once control is back in the event loop.
  for (auto& wheelTiles : tiles_) {
    for (FeedbackTile* t : wheelTiles) {
      grid_->removeWidget(t);
      t->hide();
      t->deleteLater();
    }
    wheelTiles.clear();
  }
  QGridLayout* grid = grid_;
  for (int w = 0; w < 2; ++w) {
    for (std::size_t t = 0; t < settings_.targets.size(); ++t) {
      auto* tile = new FeedbackTile(tileArea_);
      tile->setObjectName(QString("tile_%1_%2").arg(w).arg(t));
      grid->addWidget(tile, static_cast<int>(t), w);
      tiles_.at(static_cast<std::size_t>(w)).push_back(tile);
    }
    Redraw(w);
  }
  stack_->setCurrentWidget(live_->Model().Measuring() ? static_cast<QWidget*>(lblMeasuring)
                                                      : tileArea_);
}

void FeedbackScreen::Redraw(int wheel) {
  const auto w = static_cast<std::size_t>(wheel);
  for (std::size_t t = 0; t < tiles_.at(w).size(); ++t) {
    const auto [title, unit] = TitleAndUnit(settings_.targets.at(t).variable);
    tiles_[w][t]->Show((wheel == 0 ? "Left: " : "Right: ") + title, unit,
                       live_->Model().Cell(wheel, t), live_->Model().BandOf(wheel, t));
  }
}

LiveFeedbackOutcome FeedbackScreen::PushFinal(int wheel, const Push& push) {
  LiveFeedbackOutcome out = live_->Final(wheel, push);
  if (out.given.shown || out.partner) {
    Redraw(0);
    Redraw(1);
  }
  if (out.given.tone) tone_->Play();
  return out;
}

void FeedbackScreen::CycleFigures(int wheel, const Push& push) {
  live_->CycleFigures(wheel, push);
}

const FeedbackTile& FeedbackScreen::Tile(int wheel, std::size_t target) const {
  return *tiles_.at(static_cast<std::size_t>(wheel)).at(target);
}

QString FeedbackScreen::StatusText() const {
  return lblStatus->text();
}

void FeedbackScreen::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F11) {
    const bool full = !isFullScreen();
    full ? showFullScreen() : showNormal();
    cmdTargets->setChecked(!full);
    cmdTargets->setVisible(!full);
    return;
  }
  if (event->key() == Qt::Key_Escape) {
    if (isFullScreen()) {
      showNormal();
      cmdTargets->setVisible(true);
    } else {
      close();
    }
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace velquor::ui
