#include "measure/ui/notice_log.h"

#include <QDateTime>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "measure/ui/notice_line.h"

namespace velquor::ui {
namespace {

// A long run of short automatically saved cycles gives a notice per cycle; the log keeps the
// latest ones.
constexpr int kKeptNotices = 10000;

}  // namespace

NoticeLog::NoticeLog(NoticeLine* line, QWidget* parent) : QWidget(parent), line_(line) {
  setObjectName("NoticeLog");
  setWindowFlag(Qt::Window);
  setWindowTitle("Notices");
  auto* layout = new QVBoxLayout(this);
  text_ = new QPlainTextEdit(this);
  text_->setObjectName("noticeLog");
  text_->setReadOnly(true);
  text_->setMaximumBlockCount(kKeptNotices);
  layout->addWidget(text_);
  resize(640, 300);
}

void NoticeLog::Add(const QString& text) {
  if (entries_.size() >= kKeptNotices) entries_.removeFirst();
  entries_.push_back(text);
  line_->setText(text);
  text_->appendPlainText(QDateTime::currentDateTime().toString("HH:mm:ss  ") + text);
}

void NoticeLog::ShowOnly(const QString& text) {
  line_->setText(text);
}

void NoticeLog::Withdraw(const QString& text) {
  if (line_->text() == text) {
    line_->clear();
  }
}

}  // namespace velquor::ui
