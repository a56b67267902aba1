#include "measure/ui/condition_boxes.h"

#include <QLineEdit>
#include <optional>
#include <string>

#include "common/number_parse.h"
#include "measure/main_window_rules.h"
#include "measure/ui/notice_log.h"
#include "record/condition.h"
#include "ui_kit/form_kit.h"

namespace velquor::ui {
namespace {

// Each rule writes at most one box, and a box that already holds its text ends the chain;
// the depth bound only guards against two rules that never agree on a rounding.
constexpr int kMaxRuleDepth = 8;

}  // namespace

ConditionBoxes::ConditionBoxes(QLineEdit& interval, QLineEdit& count, QLineEdit& time,
                               MeasurementRecord& rec, NoticeLog& notices,
                               std::function<void()> changed, QObject* parent)
    : QObject(parent),
      interval_(interval),
      count_(count),
      time_(time),
      rec_(rec),
      notices_(notices),
      changed_(std::move(changed)) {
  connect(&interval_, &QLineEdit::textChanged, this, &ConditionBoxes::IntervalOrCountChanged);
  connect(&count_, &QLineEdit::textChanged, this, &ConditionBoxes::IntervalOrCountChanged);
  connect(&time_, &QLineEdit::textChanged, this, &ConditionBoxes::SampTimeChanged);
}

void ConditionBoxes::FillSamplingTime() {
  if (auto t = SampTimeText(FromQ(interval_.text()), FromQ(count_.text()))) {
    SetTextIfDifferent(&time_, ToQ(*t));
  }
}

void ConditionBoxes::IntervalOrCountChanged() {
  if (ruleDepth_ < kMaxRuleDepth) {
    ++ruleDepth_;
    FillSamplingTime();
    --ruleDepth_;
  }
  Changed();
}

void ConditionBoxes::SampTimeChanged() {
  if (ruleDepth_ < kMaxRuleDepth) {
    ++ruleDepth_;
    if (auto t = DataNumText(FromQ(time_.text()), FromQ(interval_.text()))) {
      SetTextIfDifferent(&count_, ToQ(*t));
    }
    --ruleDepth_;
  }
  Changed();
}

void ConditionBoxes::Changed() {
  const std::string interval = FromQ(interval_.text());
  const std::string count = FromQ(count_.text());
  const std::string time = FromQ(time_.text());
  const auto problem = EvaluateConditionTexts(interval, count, time);
  const auto field = problem ? std::optional(problem->field) : std::nullopt;
  MarkWrongBox(&interval_, field == ConditionField::kTimerInterval, false);
  MarkWrongBox(&count_, field == ConditionField::kDataNumber, false);
  MarkWrongBox(&time_, field == ConditionField::kSamplingTime, true);
  if (problem) {
    // The record keeps the last condition a measurement can run under, so a running loop
    // never sees a count beyond the record or an interval it cannot pace.
    if (startingUp_) return;
    remark_ = ToQ(problem->message);
    notices_.ShowOnly(remark_);
    return;
  }
  ReadCondition(rec_, interval, count, time);
  changed_();
  if (!remark_.isEmpty()) {
    notices_.Withdraw(remark_);
    remark_.clear();
  }
}

bool ConditionBoxes::Usable(bool report) {
  const auto problem =
      EvaluateConditionTexts(FromQ(interval_.text()), FromQ(count_.text()), FromQ(time_.text()));
  if (!problem) return true;
  Changed();
  if (report) {
    remark_ = "Start refused: " + ToQ(problem->message);
    notices_.Add(remark_);
  }
  return false;
}

void ConditionBoxes::ReadIntoRecord() {
  ReadCondition(rec_, FromQ(interval_.text()), FromQ(count_.text()), FromQ(time_.text()));
}

float ConditionBoxes::LadderDataNum() const {
  // The record keeps the last usable count; while the box holds a count that was refused
  // (above 2000, say), the keys step from the number the operator sees.
  if (count_.property("conditionError").toBool()) {
    return static_cast<float>(Val(FromQ(count_.text())));
  }
  return rec_.DataNum;
}

void ConditionBoxes::StepDown() {
  if (const auto n = DataNumDown(LadderDataNum())) SetTextIfDifferent(&count_, QString::number(*n));
}

void ConditionBoxes::StepUp() {
  if (const auto n = DataNumUp(LadderDataNum())) SetTextIfDifferent(&count_, QString::number(*n));
}

}  // namespace velquor::ui
