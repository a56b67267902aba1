// The main window's Participant, Session and Task boxes: a text that breaks the label rule is
// refused as it is typed (the box keeps its last good text, a notice names the box), and the
// labels they hold, as the next trial is measured under and the window title shows them.
#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <functional>

#include "record/study_label.h"

class QLineEdit;

namespace velquor::ui {

class StudyLabelBoxes : public QObject {
 public:
  // `changed` follows every accepted change; `notice` says why a text was refused.
  StudyLabelBoxes(QLineEdit& participant, QLineEdit& session, QLineEdit& task,
                  std::function<void(const QString&)> notice, std::function<void()> changed,
                  QObject* parent);

  StudyLabels Labels() const;

 private:
  void Changed(std::size_t box);

  std::array<QLineEdit*, 3> boxes_;
  std::array<QString, 3> good_;  // each box's last text that keeps the rule
  std::function<void(const QString&)> notice_;
  std::function<void()> changed_;
};

// " - P01 / S1 / push-test": the labels that are set, for the window title; empty for none.
QString LabelsTitle(const StudyLabels& labels);

}  // namespace velquor::ui
