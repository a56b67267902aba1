#include "measure/ui/notice_log.h"

#include <QDateTime>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

#include "measure/ui/notice_line.h"

namespace velquor::ui {
namespace {

qsizetype BytesOf(const QString& text, const QString& time) {
  return (text.size() + time.size()) * static_cast<qsizetype>(sizeof(QChar));
}

}  // namespace

NoticeLog::NoticeLog(NoticeLine* line, QWidget* parent) : QWidget(parent), line_(line) {
  setObjectName("NoticeLog");
  setWindowFlag(Qt::Window);
  setWindowTitle("Notices");
  auto* layout = new QVBoxLayout(this);
  text_ = new QPlainTextEdit(this);
  text_->setObjectName("noticeLog");
  text_->setReadOnly(true);
  text_->setUndoRedoEnabled(false);  // a log is never undone; its history would only grow
  layout->addWidget(text_);
  resize(640, 300);
}

QString NoticeLog::Shown(int k) const {
  QString line = times_.at(k) + "  " + entries_.at(k);
  // One line per notice, so that the window drops a notice by dropping its first line.
  line.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
  return line;
}

void NoticeLog::DropOldest() {
  bytes_ -= BytesOf(entries_.front(), times_.front());
  entries_.removeFirst();
  times_.removeFirst();
}

void NoticeLog::Add(const QString& text) {
  entries_.push_back(text);
  times_.push_back(QDateTime::currentDateTime().toString("HH:mm:ss"));
  bytes_ += BytesOf(entries_.back(), times_.back());
  int dropped = 0;
  while (bytes_ > kKeptBytes && entries_.size() > 1) {
    DropOldest();
    ++dropped;
  }
  line_->setText(text);
  if (!isVisible()) return;
  text_->appendPlainText(Shown(static_cast<int>(entries_.size()) - 1));
  if (dropped > 0) {
    QTextCursor c(text_->document());
    c.movePosition(QTextCursor::Start);
    c.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, dropped);
    c.removeSelectedText();
  }
}

void NoticeLog::showEvent(QShowEvent* event) {
  QStringList lines;
  lines.reserve(entries_.size());
  for (int k = 0; k < entries_.size(); ++k) lines.push_back(Shown(k));
  text_->setPlainText(lines.join(QLatin1Char('\n')));
  text_->moveCursor(QTextCursor::End);
  QWidget::showEvent(event);
}

void NoticeLog::hideEvent(QHideEvent* event) {
  text_->clear();
  QWidget::hideEvent(event);
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
