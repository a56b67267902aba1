// The main window's notice area: holds the whole notice, shows it on one line when it fits
// and on two when it does not (with "..." at the end only when two are not enough), and
// gives the whole text as its tooltip.
#pragma once

#include <QFrame>
#include <QString>

namespace velquor::ui {

class NoticeLine : public QFrame {
 public:
  explicit NoticeLine(QWidget* parent = nullptr);

  void setText(const QString& text);
  void clear() { setText(QString()); }
  // The whole text, however much of it is on screen.
  const QString& text() const { return text_; }
  // What the line shows at its present width: one line, or two joined by "\n".
  QString shownText() const;
  // The height that holds two lines of text.
  int TwoLineHeight() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
};

}  // namespace velquor::ui
