// The Data View screen: drive, directory and file lists to pick a saved summary file or a
// trial's per-sample file, and "View" to read it back.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "ui_kit/form_kit.h"
#include "workspace/workspace.h"

class QComboBox;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace velquor::ui {

class Form6 : public FormSurface {
  Q_OBJECT

 public:
  explicit Form6(Workspace& ws, QWidget* parent = nullptr);

  // Shows `dir` (a local path) in the directory tree and lists its summary files.
  void SetDirectory(const QString& dir);
  QString directory() const { return dir_; }
  // The click on a file name: ViewDatPath becomes the directory, "\", the name.
  void ChooseFile(const QString& name);
  // The file of that name in the list made the current one and chosen, as a click does.
  void ShowFile(const QString& name);
  const std::string& ViewDatPath() const { return view_dat_path_; }
  // The summary files selected in the list (stored form), or the chosen one alone.
  std::vector<std::string> SelectedDatPaths() const;

  // Reads the chosen pair into the record and the saved series. On any problem the record
  // stays as it was and the problem is reported; the result says whether it was read.
  bool LoadDataFiles();

  QComboBox* Drive1;
  QTreeWidget* Dir1;
  QTreeWidget* File1;  // the summary files, with their date, condition and note
  QPushButton* Command1;
  QPushButton* Command2;
  QPushButton* cmdReport;

 signals:
  // "View" was pressed: the main window reads the file and runs the analysis chain.
  void viewRequested();
  // "View" was pressed on a trial's per-sample file (ViewDatPath ends in "_trial.csv").
  void trialViewRequested();
  // "Report...": a report of the selected files is wanted.
  void reportRequested();
  void notice(const QString& text);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FillDrives();
  void FillFiles();
  QTreeWidgetItem* ItemFor(const QString& dir);
  // Lists the subdirectories of the item afresh (every time it is opened).
  void Relist(QTreeWidgetItem* item);
  // The item and every open directory below it, listed afresh.
  void RelistOpen(QTreeWidgetItem* item);
  std::string PathOf(const QString& name) const;

  Workspace& ws_;
  QString dir_;
  std::string view_dat_path_;
  bool shownBefore_ = false;
};

}  // namespace velquor::ui
