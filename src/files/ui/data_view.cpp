#include "files/ui/data_view.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <memory>

#include "common/path_map.h"
#include "files/data_file_reader.h"
#include "files/summary_facts.h"
#include "files/trial_file_reader.h"

namespace velquor::ui {
namespace {

constexpr int kPathRole = Qt::UserRole;

// Directories are kept in the program's stored form, with "\" between the parts.
std::string StoredForm(const QString& local) {
  return FromQ(QDir::toNativeSeparators(local).replace('/', '\\'));
}

}  // namespace

Form6::Form6(Workspace& ws, QWidget* parent) : FormSurface(9360, 5160, parent), ws_(ws) {
  setObjectName("Form6");
  setWindowFlag(Qt::Window);
  setWindowTitle("Data View Screen");

  QGroupBox* frame =
      Frame(this, "Frame1", QString::fromUtf8("データファイル"), 120, 120, 9120, 4320);
  // The directory side and the file list share the frame; the operator moves the border.
  auto* split = new QSplitter(Qt::Horizontal, frame);
  split->setObjectName("splitDirFiles");
  split->setChildrenCollapsible(false);
  Place(split, 120, 300, 8880, 3900);
  auto* dirSide = new QWidget(split);
  auto* dirColumn = new QVBoxLayout(dirSide);
  dirColumn->setContentsMargins(0, 0, 0, 0);
  Drive1 = new QComboBox(dirSide);
  Drive1->setObjectName("Drive1");
  Dir1 = new QTreeWidget(dirSide);
  Dir1->setObjectName("Dir1");
  Dir1->setHeaderHidden(true);
  // A long folder name widens the tree's column and gives it a scroll bar, never cut.
  Dir1->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  Dir1->header()->setStretchLastSection(false);
  dirColumn->addWidget(Drive1);
  dirColumn->addWidget(Dir1);
  File1 = new QTreeWidget(split);
  File1->setObjectName("File1");
  File1->setRootIsDecorated(false);
  File1->setHeaderLabels({"File", "Date", "Condition", "Note"});
  split->addWidget(dirSide);
  split->addWidget(File1);
  split->setStretchFactor(0, 2);
  split->setStretchFactor(1, 3);

  Command1 = Button(this, "Command1", "View", 6120, 4620, 1440, 420);
  Command2 = Button(this, "Command2", "Close", 7680, 4620, 1440, 420);
  cmdReport = Button(this, "cmdReport", "Report...", 120, 4620, 1440, 420);
  // Several files may be selected for a session report; the current one is still "View"'s.
  File1->setSelectionMode(QAbstractItemView::ExtendedSelection);

  FillDrives();
  connect(Drive1, &QComboBox::currentIndexChanged, this,
          [this](int) { SetDirectory(Drive1->currentData(kPathRole).toString()); });
  connect(Dir1, &QTreeWidget::itemExpanded, this, &Form6::Relist);
  connect(Dir1, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* item, QTreeWidgetItem*) {
            if (!item) return;
            const QString path = item->data(0, kPathRole).toString();
            if (path == dir_) return;
            dir_ = path;
            FillFiles();
          });
  connect(File1, &QTreeWidget::itemClicked, this,
          [this](QTreeWidgetItem* item, int) { ChooseFile(item->text(0)); });
  connect(File1, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* item, QTreeWidgetItem*) {
            if (item) ChooseFile(item->text(0));
          });
  connect(Command1, &QPushButton::clicked, this, [this] {
    if (IsTrialCsvPath(view_dat_path_)) {
      emit trialViewRequested();
    } else {
      emit viewRequested();
    }
  });
  connect(Command2, &QPushButton::clicked, this, &QWidget::hide);
  connect(cmdReport, &QPushButton::clicked, this, &Form6::reportRequested);

  SetDirectory(QDir::currentPath());
}

void Form6::FillDrives() {
  for (const QFileInfo& drive : QDir::drives()) {
    const QString path = drive.absoluteFilePath();
    Drive1->addItem(QDir::toNativeSeparators(path), path);
  }
}

void Form6::Relist(QTreeWidgetItem* item) {
  const QDir dir(item->data(0, kPathRole).toString());
  const QFileInfoList subdirs = dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
  QStringList names;
  for (const QFileInfo& sub : subdirs) names.push_back(sub.fileName());
  // Directories that are gone go; the ones still there keep their items (and whether they
  // are open), in the same order as the new listing, so new ones slot in between.
  for (int i = item->childCount() - 1; i >= 0; --i) {
    if (!names.contains(item->child(i)->text(0))) {
      const std::unique_ptr<QTreeWidgetItem> gone(item->takeChild(i));
    }
  }
  for (int k = 0; k < names.size(); ++k) {
    if (k < item->childCount() && item->child(k)->text(0) == names.at(k)) continue;
    auto* child = new QTreeWidgetItem(QStringList(names.at(k)));
    child->setData(0, kPathRole, subdirs.at(k).absoluteFilePath());
    // Every directory can be opened, whether it had subdirectories when listed or not.
    child->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    item->insertChild(k, child);
  }
}

void Form6::RelistOpen(QTreeWidgetItem* item) {
  Relist(item);
  for (int i = 0; i < item->childCount(); ++i) {
    if (item->child(i)->isExpanded()) RelistOpen(item->child(i));
  }
}

QTreeWidgetItem* Form6::ItemFor(const QString& dir) {
  const QString target = QDir::cleanPath(QFileInfo(dir).absoluteFilePath());
  // The root item of the drive that holds the directory.
  QString root;
  for (int i = 0; i < Drive1->count(); ++i) {
    const QString drive = Drive1->itemData(i, kPathRole).toString();
    if (target.startsWith(drive) && drive.size() > root.size()) root = drive;
  }
  if (root.isEmpty()) return nullptr;
  QTreeWidgetItem* item = nullptr;
  for (int i = 0; i < Dir1->topLevelItemCount(); ++i) {
    if (Dir1->topLevelItem(i)->data(0, kPathRole).toString() == root) item = Dir1->topLevelItem(i);
  }
  if (!item) {
    Dir1->clear();
    item = new QTreeWidgetItem(Dir1, QStringList(QDir::toNativeSeparators(root)));
    item->setData(0, kPathRole, root);
  }
  // Walk down from the root, opening each directory on the way.
  const QStringList parts = target.mid(root.size()).split('/', Qt::SkipEmptyParts);
  for (const QString& part : parts) {
    Relist(item);
    {
      const QSignalBlocker block(Dir1);  // listed just now
      item->setExpanded(true);
    }
    QTreeWidgetItem* next = nullptr;
    for (int i = 0; i < item->childCount(); ++i) {
      if (item->child(i)->text(0) == part) next = item->child(i);
    }
    if (!next) break;
    item = next;
  }
  return item;
}

void Form6::SetDirectory(const QString& dir) {
  QTreeWidgetItem* item = ItemFor(dir);
  dir_ = item ? item->data(0, kPathRole).toString() : QDir::cleanPath(dir);
  if (item) {
    const QSignalBlocker block(Dir1);
    Dir1->setCurrentItem(item);
  }
  FillFiles();
}

void Form6::FillFiles() {
  const QSignalBlocker block(File1);
  File1->clear();
  const QDir dir(dir_);
  // Each summary says when it was saved, under which condition, and its note.
  for (const QString& name : dir.entryList(QStringList("*dat.csv"), QDir::Files, QDir::Name)) {
    const SummaryListing listing = LoadSummaryListing(PathOf(name));
    const SummaryFacts& facts = listing.facts;
    const SummaryCondition& c = listing.condition;
    const QString condition =
        c.interval.empty() ? QString() : ToQ(c.interval) + " ms x " + ToQ(c.samples);
    auto* item = new QTreeWidgetItem(
        File1, {name, ToQ(facts.date + " " + facts.time).trimmed(), condition, ToQ(facts.note)});
    item->setToolTip(3, ToQ(facts.note));
  }
  // Each trial, named by its per-sample file, with its start and length from the file's name
  // alone: the samples are read when it is viewed.
  for (const QString& name : dir.entryList(QStringList("*_trial.csv"), QDir::Files, QDir::Name)) {
    new QTreeWidgetItem(File1, {name, QString(), "trial", QString()});
  }
  for (int c = 0; c < File1->columnCount() - 1; ++c) File1->resizeColumnToContents(c);
}

std::string Form6::PathOf(const QString& name) const {
  std::string dir = StoredForm(dir_);
  // A drive root already ends in its separator; no second one is put after it.
  if (!dir.empty() && dir.back() == '\\') dir.pop_back();
  return dir + "\\" + FromQ(name);
}

void Form6::ChooseFile(const QString& name) {
  view_dat_path_ = PathOf(name);
}

void Form6::ShowFile(const QString& name) {
  const QList<QTreeWidgetItem*> found = File1->findItems(name, Qt::MatchExactly, 0);
  if (found.isEmpty()) {
    ChooseFile(name);  // not listed (yet): "View" reads it all the same
    return;
  }
  File1->clearSelection();
  File1->setCurrentItem(found.front());
  found.front()->setSelected(true);
  ChooseFile(name);
}

std::vector<std::string> Form6::SelectedDatPaths() const {
  std::vector<std::string> paths;
  // In list order, which is name order, so a session reads as it was measured.
  for (int i = 0; i < File1->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* item = File1->topLevelItem(i);
    if (item->isSelected()) paths.push_back(PathOf(item->text(0)));
  }
  if (paths.empty() && !view_dat_path_.empty()) paths.push_back(view_dat_path_);
  return paths;
}

bool Form6::LoadDataFiles() {
  if (view_dat_path_.empty()) {
    emit notice("Data View: choose a summary file (*dat.csv) in the file list before \"View\"");
    return false;
  }
  auto loaded = velquor::LoadDataFiles(view_dat_path_);
  if (!loaded.ok()) {
    emit notice("Data View: " + ToQ(loaded.problem().Describe()) +
                "; the measurement in memory is unchanged");
    return false;
  }
  const LoadedData& data = *loaded.value();
  CommitLoadedData(data, ws_.record, ws_.series);
  for (const Problem& p : data.notices) emit notice("Data View: " + ToQ(p.Describe()));
  return true;
}

void Form6::showEvent(QShowEvent* event) {
  FormSurface::showEvent(event);
  if (!shownBefore_) {
    // The first time, the tree opens where the measurements are saved automatically.
    shownBefore_ = true;
    const QString autoDir = ToQ(ToNativePath(ws_.naming.Auto.Dir));
    if (!autoDir.isEmpty() && QFileInfo(autoDir).isDir()) {
      SetDirectory(QFileInfo(autoDir).absoluteFilePath());
      return;
    }
  }
  // Directories made and files saved since the lists were made appear when the screen is
  // shown again.
  for (int i = 0; i < Dir1->topLevelItemCount(); ++i) RelistOpen(Dir1->topLevelItem(i));
  const QString current = File1->currentItem() ? File1->currentItem()->text(0) : QString();
  FillFiles();
  const auto found = File1->findItems(current, Qt::MatchExactly, 0);
  if (!found.isEmpty()) {
    const QSignalBlocker block(File1);
    File1->setCurrentItem(found.front());
  }
}

}  // namespace velquor::ui
