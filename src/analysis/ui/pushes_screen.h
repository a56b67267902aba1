// The Pushes screen: detection parameters with Apply, the mean push curve, the torque with
// every run marked, a table of pushes and summary rows per wheel, and their tidy CSV.
#pragma once

#include <QString>
#include <array>
#include <optional>
#include <string>

#include "analysis/push_analysis.h"
#include "common/colors.h"
#include "session/measurement_session.h"
#include "ui_kit/form_kit.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace velquor {
class PictureBase;
}

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
  // The file the shown measurement was saved under, once it has been.
  void SetSource(const std::string& source) { source_ = source; }
  const std::string& Source() const { return source_; }
  bool HasMeasurement() const { return shown_.has_value(); }
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
  QPushButton* cmdApply;
  QPushButton* cmdExportCsv;
  QPushButton* cmdClose;
  QLabel* lblStatus;
  PictureBase* Picture_curve;  // mean push curve with SD band
  PictureBase* Picture_time;   // torque over time with the runs
  QTabWidget* tabWheels;
  std::array<QLabel*, 2> lblSummary{};
  std::array<QTableWidget*, 2> tblPushes{};

 signals:
  void applied();
  void notice(const QString& text);

 private:
  void BuildParameters();
  void BuildTables();
  void ShowTable(const WheelPushes& w);
  void ChooseCsvFile();
  void ShowAgain();

  PushParameters parameters_;
  std::optional<PushAnalysis> shown_;
  std::string source_;
  const MeasurementSession* session_ = nullptr;
  const std::array<Rgb, 3>* colours_ = nullptr;
};

}  // namespace velquor::ui
