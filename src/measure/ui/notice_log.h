// The program's notices: problems and remarks for the operator, each shown at once in the
// main window's notice line and kept, with its time, in a log window that can be opened.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

class QPlainTextEdit;
class QLineEdit;
class QHideEvent;
class QShowEvent;

namespace velquor::ui {

class NoticeLine;

class NoticeLog : public QWidget {
 public:
  // At most this much text (UTF-16, with the times) is kept: the oldest notices go first, so
  // a run of any length keeps the log's memory flat.
  static constexpr qsizetype kKeptBytes = 256 * 1024;

  // `line` is the main window's one-line notice area; it shows the latest notice.
  NoticeLog(NoticeLine* line, QWidget* parent);

  // Shows the notice in the line and appends it to the log.
  void Add(const QString& text);
  // Shows a passing remark in the line only (a condition being typed), not in the log.
  void ShowOnly(const QString& text);
  // Empties the line when it still shows `text` (a remark that no longer holds).
  void Withdraw(const QString& text);

  // What is typed into the entry under the log names a marker: "seat low" labels the last
  // one, "2: start of block 2" marker 2. `labelled` hears the number (0 for the last) and
  // the label.
  void SetMarkerLabeller(std::function<void(int, const QString&)> labelled);

  // The latest notices, oldest first (as many as kKeptBytes holds, the latest always).
  const QStringList& entries() const { return entries_; }
  // The bytes the kept notices and their times take.
  qsizetype keptBytes() const { return bytes_; }

 protected:
  // The window's text is made from the kept notices when it is shown, and let go when it is
  // hidden, so that a log nobody looks at holds nothing but the notices themselves.
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  QString Shown(int k) const;  // the window's line of notice k, its time first
  void DropOldest();

  NoticeLine* line_;
  QPlainTextEdit* text_;
  QLineEdit* label_;
  std::function<void(int, const QString&)> labelled_;
  QStringList entries_;
  QStringList times_;  // "HH:mm:ss" of each entry
  qsizetype bytes_ = 0;
};

}  // namespace velquor::ui
