// The main window's three linked condition boxes: their change rules, the marks on a text
// a measurement cannot run under, the F2/F3 steps, and the record's condition kept from them.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "record/record.h"

class QLineEdit;

namespace velquor::ui {

class NoticeLog;

class ConditionBoxes : public QObject {
 public:
  // `changed` follows every change of the record's condition.
  ConditionBoxes(QLineEdit& interval, QLineEdit& count, QLineEdit& time, MeasurementRecord& rec,
                 NoticeLog& notices, std::function<void()> changed, QObject* parent);

  // While starting up, a condition that cannot be used is marked but not remarked on.
  void SetStartingUp(bool on) { startingUp_ = on; }
  // The Sampling Time from the other two boxes, as the first rule gives it.
  void FillSamplingTime();
  // The boxes read again: marked, remarked on, or taken into the record.
  void Changed();
  // Whether a measurement can be started under the boxes; a refusal says why when `report`.
  bool Usable(bool report);
  // The condition of the boxes into the record.
  void ReadIntoRecord();
  // F2 and F3: the data number one preset down or up.
  void StepDown();
  void StepUp();

 private:
  void IntervalOrCountChanged();
  void SampTimeChanged();
  float LadderDataNum() const;

  QLineEdit& interval_;
  QLineEdit& count_;
  QLineEdit& time_;
  MeasurementRecord& rec_;
  NoticeLog& notices_;
  std::function<void()> changed_;
  int ruleDepth_ = 0;
  bool startingUp_ = false;
  QString remark_;
};

}  // namespace velquor::ui
