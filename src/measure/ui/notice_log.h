// The program's notices: problems and remarks for the operator, each shown at once in the
// main window's notice line and kept, with its time, in a log window that can be opened.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

class QPlainTextEdit;

namespace velquor::ui {

class NoticeLine;

class NoticeLog : public QWidget {
 public:
  // `line` is the main window's one-line notice area; it shows the latest notice.
  NoticeLog(NoticeLine* line, QWidget* parent);

  // Shows the notice in the line and appends it to the log.
  void Add(const QString& text);
  // Shows a passing remark in the line only (a condition being typed), not in the log.
  void ShowOnly(const QString& text);
  // Empties the line when it still shows `text` (a remark that no longer holds).
  void Withdraw(const QString& text);

  // The latest notices, oldest first (the 10000 latest at most).
  const QStringList& entries() const { return entries_; }

 private:
  NoticeLine* line_;
  QPlainTextEdit* text_;
  QStringList entries_;
};

}  // namespace velquor::ui
