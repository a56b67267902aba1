#include "catalogue/ui/study_screen.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "catalogue/catalogue.h"
#include "files/set_aside.h"
#include "files/trial_file_text.h"
#include "ui_kit/form_kit.h"

namespace velquor::ui {
namespace {

constexpr int kPathRole = Qt::UserRole;        // a trial's per-sample file
constexpr int kDateRole = Qt::UserRole + 1;    // a trial's date
constexpr int kPersonRole = Qt::UserRole + 2;  // the participant of every row
constexpr int kTaskRole = Qt::UserRole + 3;    // a trial's task
constexpr const char* kNoParticipant = "(no participant)";
constexpr const char* kNoSession = "(no session)";

const QStringList kHeads = {"Participant / session / trial",
                            "Date",
                            "Task",
                            "Duration (s)",
                            "Steady pushes L / R",
                            "Pushes/min L / R",
                            "Contact angle (deg) L / R",
                            "Peak torque (Nm) L / R"};

// A row's value by its column's name.
const CatalogueValue& At(const CatalogueRow& row, std::string_view column) {
  static const CatalogueValue none;
  const std::optional<std::size_t> k = ColumnIndex(CatalogueTable::kTrials, column);
  return k && *k < row.values.size() ? row.values.at(*k) : none;
}

std::string TextAt(const CatalogueRow& row, std::string_view column) {
  return ValueText(At(row, column));
}

QString Figure(const CatalogueValue& v, int decimals) {
  if (const auto* d = std::get_if<double>(&v)) return QString::number(*d, 'f', decimals);
  if (const auto* i = std::get_if<std::int64_t>(&v)) return QString::number(*i);
  return "-";
}

// "12 / 11": the left (ch0) and right (ch1) wheel's values of a figure.
QString BothWheels(const CatalogueRow& row, const std::string& figure, int decimals) {
  return Figure(At(row, "w0_" + figure), decimals) + " / " +
         Figure(At(row, "w1_" + figure), decimals);
}

// "2026-12-07 10:05" from "2026-12-07T10:05:00+09:00".
QString DateOf(const std::string& started) {
  QString s = ToQ(started).left(16);
  s.replace('T', ' ');
  return s;
}

}  // namespace

StudyScreen::StudyScreen(std::function<std::string()> dir, QWidget* parent)
    : QWidget(parent, Qt::Window), dir_(std::move(dir)) {
  setObjectName("StudyScreen");
  setWindowTitle("Study");
  auto* layout = new QVBoxLayout(this);
  lblStatus = new QLabel(this);
  lblStatus->setObjectName("lblStatus");
  lblStatus->setWordWrap(true);
  layout->addWidget(lblStatus);
  treStudy = new QTreeWidget(this);
  treStudy->setObjectName("treStudy");
  treStudy->setHeaderLabels(kHeads);
  treStudy->setSelectionMode(QAbstractItemView::ExtendedSelection);
  treStudy->setAlternatingRowColors(true);
  layout->addWidget(treStudy, 1);
  auto* buttons = new QHBoxLayout;
  const auto button = [this, buttons](const char* name, const char* caption) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    buttons->addWidget(b);
    return b;
  };
  cmdScan = button("cmdScan", "&Scan");
  cmdView = button("cmdView", "&View");
  cmdReport = button("cmdReport", "&Report...");
  cmdCompare = button("cmdCompare", "&Compare...");
  cmdProgress = button("cmdProgress", "&Progress...");
  buttons->addStretch(1);
  cmdClose = button("cmdClose", "Close");
  layout->addLayout(buttons);
  cmdProgress->hide();  // until the program gives it something to do
  resize(1080, 480);

  connect(cmdScan, &QPushButton::clicked, this, &StudyScreen::Scan);
  connect(cmdClose, &QPushButton::clicked, this, &QWidget::hide);
  connect(cmdView, &QPushButton::clicked, this, [this] {
    const std::vector<TrialToCompare> chosen = SelectedTrials();
    if (chosen.empty()) {
      emit notice("Study: choose a trial to view");
      return;
    }
    emit viewRequested(ToQ(chosen.front().path));
  });
  connect(cmdReport, &QPushButton::clicked, this, [this] {
    std::vector<std::string> paths;
    for (const TrialToCompare& t : SelectedTrials()) paths.push_back(t.path);
    if (paths.empty()) {
      emit notice("Study: choose one or more trials for a report");
      return;
    }
    emit reportRequested(paths);
  });
  connect(cmdCompare, &QPushButton::clicked, this, [this] {
    const std::vector<TrialToCompare> chosen = SelectedTrials();
    if (chosen.size() < 2) {
      emit notice("Study: choose two or more trials to compare");
      return;
    }
    emit compareRequested(chosen);
  });
  connect(cmdProgress, &QPushButton::clicked, this, [this] {
    const QString who = SelectedParticipant();
    if (who.isEmpty()) {
      emit notice("Study: choose a participant, or one of their sessions or trials, for progress");
      return;
    }
    if (progress_) progress_(CatalogueDir(dir_()), FromQ(who), FromQ(SelectedTask()));
  });
}

StudyScreen::~StudyScreen() {
  // A scan still going finishes before the screen goes; its end is not shown.
  if (scan_) {
    scan_->disconnect(this);
    scan_->wait();
  }
}

void StudyScreen::SetProgressAction(ProgressFn fn) {
  progress_ = std::move(fn);
  cmdProgress->setVisible(static_cast<bool>(progress_));
}

void StudyScreen::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Refresh();
}

void StudyScreen::Refresh() {
  if (Scanning()) return;
  Fill(dir_());
}

void StudyScreen::Fill(const std::string& stored) {
  std::set<QString> chosen;
  for (const TrialToCompare& t : SelectedTrials()) chosen.insert(ToQ(t.path));
  treStudy->clear();
  const std::string dir = CatalogueDir(stored);
  const Result<TrialList> list = ListTrials(stored, {});
  if (!list) {
    const bool missing = !PresentAt((std::filesystem::path(dir) / kCatalogueName).string());
    lblStatus->setText(missing
                           ? "No catalogue in " + ToQ(dir) +
                                 " yet: \"Scan\" makes one from the trial files there"
                           : "The catalogue could not be read: " + ToQ(list.problem().Describe()));
    return;
  }
  for (const Problem& p : list.value().notices) emit notice("Study: " + ToQ(p.Describe()));
  // The catalogue lists by participant, session and start; trials without a participant
  // come last, under a row of their own.
  std::map<std::pair<bool, std::string>, QTreeWidgetItem*> people;
  std::map<std::tuple<bool, std::string, std::string>, QTreeWidgetItem*> sessions;
  int trials = 0;
  for (const CatalogueRow& row : list.value().rows) {
    const std::string who = TextAt(row, "participant");
    const std::string session = TextAt(row, "session");
    QTreeWidgetItem*& person = people[{who.empty(), who}];
    if (person == nullptr) {
      person = new QTreeWidgetItem({who.empty() ? kNoParticipant : ToQ(who)});
      person->setData(0, kPersonRole, ToQ(who));
    }
    QTreeWidgetItem*& ses = sessions[{who.empty(), who, session}];
    if (ses == nullptr) {
      ses = new QTreeWidgetItem(person, {session.empty() ? kNoSession : ToQ(session)});
      ses->setData(0, kPersonRole, ToQ(who));
    }
    const std::filesystem::path file =
        std::filesystem::path(dir) / TextAt(row, "folder") / TrialCsvName(TextAt(row, "trial"));
    const QString date = DateOf(TextAt(row, "started"));
    auto* trial =
        new QTreeWidgetItem(ses, {ToQ(TextAt(row, "trial")), date, ToQ(TextAt(row, "task")),
                                  Figure(At(row, "duration_s"), 1), BothWheels(row, "steady", 0),
                                  BothWheels(row, "push_frequency_per_min", 1),
                                  BothWheels(row, "contact_angle_deg_mean", 1),
                                  BothWheels(row, "peak_torque_Nm_mean", 1)});
    trial->setData(0, kPathRole, ToQ(file.string()));
    trial->setData(0, kDateRole, date);
    trial->setData(0, kPersonRole, ToQ(who));
    trial->setData(0, kTaskRole, ToQ(TextAt(row, "task")));
    ++trials;
  }
  for (const auto& [key, person] : people) treStudy->addTopLevelItem(person);
  for (const auto& [key, ses] : sessions) {
    ses->setText(0, ses->text(0) + QString(" (%1)").arg(ses->childCount()));
    for (int k = 0; k < ses->childCount(); ++k) {
      QTreeWidgetItem* t = ses->child(k);
      t->setSelected(chosen.count(t->data(0, kPathRole).toString()) > 0);
    }
  }
  treStudy->expandAll();
  for (int c = 0; c < treStudy->columnCount(); ++c) treStudy->resizeColumnToContents(c);
  const auto named = std::count_if(people.begin(), people.end(),
                                   [](const auto& person) { return !person.first.first; });
  lblStatus->setText(
      QString("%1 trials of %2 participants in %3").arg(trials).arg(named).arg(ToQ(dir)));
}

void StudyScreen::Scan() {
  if (Scanning()) return;
  const std::string stored = dir_();
  lblStatus->setText("Scanning " + ToQ(CatalogueDir(stored)) + "...");
  cmdScan->setEnabled(false);
  // The scan reads every trial document under the directory: the screen stays usable meanwhile.
  auto outcome = std::make_shared<std::optional<Result<CatalogueNews>>>();
  scan_ = QThread::create([stored, outcome] { outcome->emplace(ScanCatalogue(stored)); });
  scan_->setParent(this);
  connect(scan_, &QThread::finished, this, [this, outcome] {
    scan_->deleteLater();
    scan_ = nullptr;
    cmdScan->setEnabled(true);
    const Result<CatalogueNews>& news = outcome->value();
    if (!news) {
      ScanDone("The scan failed: " + ToQ(news.problem().Describe()), false);
      return;
    }
    for (const Problem& p : news.value().notices) emit notice("Study: " + ToQ(p.Describe()));
    ScanDone(ToQ(news.value().done), true);
  });
  scan_->start();
}

void StudyScreen::ScanDone(const QString& text, bool ok) {
  emit notice("Study: " + text);
  if (ok) Fill(dir_());
  // What the scan did stays in view above the catalogue it made.
  lblStatus->setText(text + (ok ? "\n" + lblStatus->text() : QString()));
}

std::vector<QTreeWidgetItem*> StudyScreen::ChosenTrials() const {
  // In list order; a participant or session chosen stands for its trials.
  std::vector<QTreeWidgetItem*> out;
  std::set<QTreeWidgetItem*> seen;
  const std::function<void(QTreeWidgetItem*, bool)> walk = [&](QTreeWidgetItem* item, bool in) {
    const bool chosen = in || item->isSelected();
    if (item->childCount() == 0 && chosen && !item->data(0, kPathRole).isNull() &&
        seen.insert(item).second) {
      out.push_back(item);
    }
    for (int k = 0; k < item->childCount(); ++k) walk(item->child(k), chosen);
  };
  for (int k = 0; k < treStudy->topLevelItemCount(); ++k) walk(treStudy->topLevelItem(k), false);
  return out;
}

std::vector<TrialToCompare> StudyScreen::SelectedTrials() const {
  std::vector<TrialToCompare> out;
  for (const QTreeWidgetItem* t : ChosenTrials()) {
    out.push_back(
        {FromQ(t->data(0, kPathRole).toString()), FromQ(t->data(0, kDateRole).toString())});
  }
  return out;
}

QString StudyScreen::SelectedParticipant() const {
  const QList<QTreeWidgetItem*> items = treStudy->selectedItems();
  return items.isEmpty() ? QString() : items.front()->data(0, kPersonRole).toString();
}

QString StudyScreen::SelectedTask() const {
  std::set<QString> tasks;
  for (const QTreeWidgetItem* t : ChosenTrials()) tasks.insert(t->data(0, kTaskRole).toString());
  return tasks.size() == 1 ? *tasks.begin() : QString();
}

}  // namespace velquor::ui
