// The Study screen: the catalogue of the Auto Save directory as participants, their sessions
// and each session's trials, and what can be done with the trials chosen there: view them,
// report or compare them, or write a participant's progress over sessions.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "report/trial_comparison.h"

class QLabel;
class QPushButton;
class QThread;
class QTreeWidget;
class QTreeWidgetItem;

namespace velquor::ui {

class StudyScreen : public QWidget {
  Q_OBJECT

 public:
  // `dir` gives the directory whose catalogue is shown, as File Option keeps it ("\" between
  // the parts, empty for the working directory).
  explicit StudyScreen(std::function<std::string()> dir, QWidget* parent = nullptr);
  ~StudyScreen() override;

  // Reads the catalogue again and shows it; the trials chosen stay chosen where they are still
  // there. Nothing is read while a scan is going: its end shows the catalogue.
  void Refresh();
  // "Scan": the catalogue made what the files under the directory say, off this thread; what
  // it did is said here and in a notice, then the catalogue is shown.
  void Scan();
  bool Scanning() const { return scan_ != nullptr; }

  // The trials chosen, in list order, with their per-sample files (local paths) and dates.
  std::vector<TrialToCompare> SelectedTrials() const;
  // The participant of the chosen rows (the first one's), and the task they share, if one.
  QString SelectedParticipant() const;
  QString SelectedTask() const;

  // "Progress...": what the program does for a participant and task (empty: any) of the
  // directory (local form); the button shows only once there is something to do.
  using ProgressFn = std::function<void(const std::string& dir, const std::string& participant,
                                        const std::string& task)>;
  void SetProgressAction(ProgressFn fn);

  QTreeWidget* treStudy;  // participants -> sessions -> trials
  QLabel* lblStatus;      // what is shown, or why nothing is
  QPushButton* cmdScan;
  QPushButton* cmdView;
  QPushButton* cmdReport;
  QPushButton* cmdCompare;
  QPushButton* cmdProgress;
  QPushButton* cmdClose;

 signals:
  // "View": the trial's per-sample file is shown in Data View.
  void viewRequested(const QString& path);
  // "Report...": a report of the trials' per-sample files.
  void reportRequested(const std::vector<std::string>& paths);
  // "Compare...": a comparison of two or more trials.
  void compareRequested(const std::vector<TrialToCompare>& trials);
  void notice(const QString& text);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Fill(const std::string& dir);
  void ScanDone(const QString& text, bool ok);
  std::vector<QTreeWidgetItem*> ChosenTrials() const;

  std::function<std::string()> dir_;
  ProgressFn progress_;
  QPointer<QThread> scan_;
};

}  // namespace velquor::ui
