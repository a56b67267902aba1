// The Pushes screen: detection parameters and the summary window with Apply, the mean push
// curve, the torque with every run marked, a table of pushes and summary rows per wheel, and
// their tidy CSV; for the last cycle or for the whole trial, whose pushes grow as they come.
#pragma once

#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "analysis/push_analysis.h"
#include "common/colors.h"
#include "session/measurement_session.h"
#include "ui_kit/form_kit.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableWidget;

namespace velquor {
class PictureBase;
class PlotFrame;
}  // namespace velquor

namespace velquor::ui {

class Form8 : public FormSurface {
  Q_OBJECT

 public:
  explicit Form8(QWidget* parent = nullptr);

  // The parameters in force, and putting them in force and in the boxes (the settings file).
  const PushParameters& Parameters() const { return parameters_; }
  void SetParameters(const PushParameters& p);

  // Analyses an analysed measurement with the parameters in force and shows it: tables,
  // curve, runs. `source` names it in the CSV (a file path, or empty for a live cycle).
  // A record that cannot be analysed empties the screen and says why.
  void ShowPushes(const MeasurementRecord& rec, const DerivedSeries& series,
                  const KinematicsResults& kin, const std::array<Rgb, 3>& GraphColor,
                  const std::string& source);
  // The same with the pushes already analysed, or the problem that stopped their analysis.
  void ShowPushes(const MeasurementRecord& rec, const DerivedSeries& series,
                  const KinematicsResults& kin, const std::array<Rgb, 3>& GraphColor,
                  const std::string& source, Result<PushAnalysis> a);
  // The pushes of the trial so far (`live`) or of a whole trial, shown when "this trial" is
  // chosen. Called again with more pushes of the running trial, it adds their rows and
  // updates the pushes whose figures reaching to the next have come, the summary and the
  // curve; anything else (a new trial, the running one's end, a trial viewed from its file,
  // new parameters) writes the tables afresh. "This trial" is chosen unless "the last cycle"
  // was chosen by hand.
  void ShowTrial(const PushAnalysis& analysis, bool live);
  // A trial asked for by name (viewed from its file): shown whatever view was chosen.
  void ChooseTrial();
  // The trial's torque over its whole length (a trial viewed from its file), drawn in the
  // time graph while "this trial" is chosen; none clears it, and so does a running trial.
  void SetTrialTorque(std::function<void(PlotFrame&, const PushAnalysis&)> draw);
  // The name the trial's pushes take in the CSV (its per-sample file, or empty while live).
  // A new running trial starts without one.
  void SetTrialSource(const std::string& source) { trialSource_ = source; }
  const std::string& TrialSource() const { return trialSource_; }
  bool TrialLive() const { return trialLive_; }
  bool ShowingTrial() const;
  // The graph colours the screen draws in.
  std::array<Rgb, 3> GraphColours() const;
  const std::optional<PushAnalysis>& Trial() const { return trial_; }

  // The file the shown measurement was saved under, once it has been.
  void SetSource(const std::string& source) { source_ = source; }
  const std::string& Source() const { return source_; }
  bool HasMeasurement() const { return shown_.has_value(); }
  // The last cycle's (or the file's) pushes, whichever view is chosen.
  const std::optional<PushAnalysis>& Shown() const { return shown_; }

  // Where Apply finds the measurement to show again: the session's last analysed record
  // (a measured cycle, or a file viewed), drawn in `GraphColor`; both outlive the screen.
  void ReadRecordsFrom(const MeasurementSession& session, const std::array<Rgb, 3>& GraphColor);
  // Apply: the boxes read as the new parameters; a refused box is named and nothing changes.
  // On success `applied` is emitted and the measurement shown is analysed again with them.
  bool Apply();
  // Writes the tidy CSV of what is shown to a native path; never over an existing file.
  bool ExportCsv(const QString& path);
  // A line under the parameters: what the screen last did, or what went wrong.
  void SetStatus(const QString& text);

  std::array<QLineEdit*, kPushParameterCount> txtParameter{};  // threshold .. skip_last
  std::array<QLineEdit*, 2> txtWindow{};                       // from_s, to_s; empty: open
  QLineEdit* txtLast;                                          // N of "last N s"
  QPushButton* cmdLast;    // the window from N s before the end of what is shown, to its end
  QRadioButton* optTrial;  // "this trial"
  QRadioButton* optCycle;  // "the last cycle"
  QPushButton* cmdApply;
  QPushButton* cmdExportCsv;
  QPushButton* cmdClose;
  QLabel* lblStatus;
  PictureBase* Picture_curve;  // mean push curve with SD band
  PictureBase* Picture_time;   // torque over time with the runs
  QTabWidget* tabWheels;
  std::array<QLabel*, 2> lblSummary{};
  std::array<QTableWidget*, 2> tblPushes{};
  QLabel* lblPairs;  // the "Left/right" tab: the pairs of left and right pushes
  QTableWidget* tblPairs;

 signals:
  void applied();
  void notice(const QString& text);

 private:
  void BuildParameters();
  void BuildTables();
  void ShowTable(const WheelPushes& w);
  // The pairs of what is shown, when the "Left/right" tab is the one in view.
  void ShowPairs();
  void ChooseCsvFile();
  void ShowAgain();
  void ApplyLast();
  void ChooseView();
  void ClearShown(const QString& status);
  void DrawTrial();
  void ShowTrialRows(const WheelPushes& w, bool afresh);

  PushParameters parameters_;
  std::optional<PushAnalysis> shown_;
  std::string source_;
  std::optional<PushAnalysis> trial_;
  bool trialLive_ = false;
  std::array<int, 2> trialRows_{};  // push rows of the trial in each table
  std::string trialSource_;
  std::function<void(PlotFrame&, const PushAnalysis&)> trialTorque_;
  bool cycleChosen_ = false;  // "the last cycle" chosen by hand
  const MeasurementSession* session_ = nullptr;
  const std::array<Rgb, 3>* colours_ = nullptr;
};

}  // namespace velquor::ui
