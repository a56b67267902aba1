// The Feedback screen for the person on the rig: each chosen variable of both wheels against
// its target band as pushes end, and below it the targets, schedule and baseline to set.
#pragma once

#include <QWidget>
#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "analysis/feedback_model.h"
#include "analysis/live_feedback.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTableWidget;

namespace velquor::ui {

class FeedbackTile;
class ToneOutput;

class FeedbackScreen : public QWidget {
  Q_OBJECT

 public:
  explicit FeedbackScreen(QWidget* parent = nullptr);
  ~FeedbackScreen() override;

  // The settings in force (from the settings file), shown in the targets panel.
  void SetSettings(const FeedbackSettings& s);
  const FeedbackSettings& Settings() const { return settings_; }
  // "Set baseline": the steady-push means of `a`, named `from` ("the current trial", a file).
  void SetBaseline(const PushAnalysis& a, const QString& from);
  bool HasBaseline() const { return baselineFrom_.has_value(); }

  // A trial starts: the screen is cleared and the bands resolved anew.
  void StartTrial();
  // A push of `wheel` is final (the next after the last one given): what was fed back, and
  // its pair when it made one (the symmetry lines change).
  LiveFeedbackOutcome PushFinal(int wheel, const Push& push);
  // A push given before has its cycle figures now.
  void CycleFigures(int wheel, const Push& push);
  // What the trial's pushes came to so far, for its files.
  const LiveFeedback& Live() const { return *live_; }

  // Reads the targets panel: a refused box is named in the status line and nothing changes.
  bool ApplyTargets();
  const FeedbackTile& Tile(int wheel, std::size_t target) const;
  QString StatusText() const;
  bool ToneAvailable() const;

  QComboBox* cboSchedule;
  QTableWidget* tblTargets;  // variable, low, high, tone
  QPushButton* cmdApply;
  QPushButton* cmdBaseline;
  QPushButton* cmdTargets;  // shows or hides the panel
  QLabel* lblMeasuring;
  QLabel* lblStatus;

 signals:
  // The settings changed (to be kept in the settings file).
  void settingsChanged();
  // "Set baseline" asks the program for the push analysis to take it from.
  void baselineWanted();
  void notice(const QString& text);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Rebuild();
  void Redraw(int wheel);
  void FillTargetsPanel();

  FeedbackSettings settings_;
  std::array<Baseline, 2> baseline_{};
  std::optional<QString> baselineFrom_;
  std::unique_ptr<LiveFeedback> live_;
  std::array<std::vector<FeedbackTile*>, 2> tiles_;
  QWidget* tileArea_;
  QGridLayout* grid_;  // the tiles, a row per variable, a column per wheel
  QStackedWidget* stack_;
  QWidget* panel_;
  std::unique_ptr<ToneOutput> tone_;
};

}  // namespace velquor::ui
