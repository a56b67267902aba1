#include "measure/ui/notice_log.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
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
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel("Marker label:", this));
  label_ = new QLineEdit(this);
  label_->setObjectName("markerLabel");
  label_->setPlaceholderText("for the last marker, or \"2: start of block 2\" for marker 2");
  row->addWidget(label_);
  layout->addLayout(row);
  connect(label_, &QLineEdit::returnPressed, this, [this] {
    static const QRegularExpression numbered(R"(^\s*(\d+)\s*:\s*(.*)$)");
    const QString typed = label_->text();
    const QRegularExpressionMatch m = numbered.match(typed);
    if (labelled_) {
      if (m.hasMatch()) {
        labelled_(m.captured(1).toInt(), m.captured(2).trimmed());
      } else {
        labelled_(0, typed.trimmed());
      }
    }
    label_->clear();
  });
  resize(640, 300);
}

void NoticeLog::SetMarkerLabeller(std::function<void(int, const QString&)> labelled) {
  labelled_ = std::move(labelled);
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
