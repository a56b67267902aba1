// The Calculated Results screen: the stroke-detection conditions, the stroke table, the
// statistics of the chosen stroke, the torque graph with the stroke markers, and Re-Save.
#pragma once

#include <QString>
#include <array>
#include <optional>
#include <string>

#include "analysis/series.h"
#include "analysis/ui/result_boxes.h"
#include "ui_kit/form_kit.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace velquor {
class PictureBase;
}

namespace velquor::ui {

class Form7 : public FormSurface {
  Q_OBJECT

 public:
  // `strokes` are the results the screen shows; they outlive it.
  explicit Form7(const StrokeResults& strokes, QWidget* parent = nullptr);

  // The conditions as they stand on the screen.
  StrokeConditions ReadConditions() const;
  // The "From", "To" and "Less than" texts, as the settings file keeps them.
  std::array<std::string, 3> ConditionTexts() const;
  void SetConditionTexts(const std::array<std::string, 3>& texts);
  // Fills the stroke table and the lower table for the stroke chosen by opt_Noc.
  void ShowStrokeResults();
  // The stroke chosen by opt_Noc(1..3).
  int ChosenStroke() const;
  // Says why fewer than three strokes were found, or clears that.
  void ShowWhyFewStrokes(const std::optional<std::string>& why);

  QLineEdit* txtStartPosCond;
  QLineEdit* txtEndPosCond;
  QLineEdit* txtLimitCond;
  QRadioButton* optLimit_ch0;
  QRadioButton* optLimit_ch1;
  QRadioButton* optLimit_Auto;
  std::array<QRadioButton*, 4> opt_Noc{};  // 1..3
  QPushButton* Command2;
  QPushButton* Command1;
  PictureBase* Picture_base;  // the torque graph with the stroke markers
  QLabel* lblFewStrokes;      // why the stroke table is not full

  // Every result box by its control name ("txtStTime1", "txtTqMax(0)", ...).
  QLineEdit* Box(const QString& name) const;

 signals:
  // A condition box or option has changed: what ReadConditions gives may differ.
  void conditionsChanged();
  // "Re-Save": the measurement in memory is to be saved again through the File Option screen.
  void reSaveRequested();

 private:
  QLineEdit* ResultBox(QWidget* parent, const QString& name, int left, int top);
  void BuildConditions();
  void BuildResults();

  ResultBoxes results_;
  const StrokeResults& strokes_;
};

}  // namespace velquor::ui
