#include "measure/ui/study_label_boxes.h"

#include <QLineEdit>
#include <algorithm>

#include "ui_kit/form_kit.h"

namespace velquor::ui {
namespace {

constexpr std::array<const char*, 3> kNames = {"Participant", "Session", "Task"};

}  // namespace

StudyLabelBoxes::StudyLabelBoxes(QLineEdit& participant, QLineEdit& session, QLineEdit& task,
                                 std::function<void(const QString&)> notice,
                                 std::function<void()> changed, QObject* parent)
    : QObject(parent),
      boxes_{&participant, &session, &task},
      notice_(std::move(notice)),
      changed_(std::move(changed)) {
  for (std::size_t k = 0; k < boxes_.size(); ++k) {
    good_.at(k) = boxes_.at(k)->text();
    connect(boxes_.at(k), &QLineEdit::textChanged, this, [this, k] { Changed(k); });
  }
}

void StudyLabelBoxes::Changed(std::size_t box) {
  QLineEdit& edit = *boxes_.at(box);
  const QString text = edit.text();
  if (text == good_.at(box)) return;  // the good text put back
  if (auto why = LabelProblem(kNames.at(box), FromQ(text))) {
    notice_(ToQ(*why) + "; the box keeps \"" + good_.at(box) + "\"");
    const int cursor = edit.cursorPosition();
    edit.setText(good_.at(box));
    // The cursor stays where the refused character would have gone.
    edit.setCursorPosition(std::min<int>(std::max(0, cursor - 1), edit.text().size()));
    return;
  }
  good_.at(box) = text;
  changed_();
}

StudyLabels StudyLabelBoxes::Labels() const {
  return {FromQ(good_[0]), FromQ(good_[1]), FromQ(good_[2])};
}

QString LabelsTitle(const StudyLabels& labels) {
  QString shown;
  for (const std::string* s : {&labels.participant, &labels.session, &labels.task}) {
    if (s->empty()) continue;
    shown += (shown.isEmpty() ? "" : " / ") + ToQ(*s);
  }
  return shown.isEmpty() ? QString() : " - " + shown;
}

}  // namespace velquor::ui
