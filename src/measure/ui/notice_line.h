// The main window's one-line notice area: holds the whole notice, shows as much of it as
// fits with "..." at the end, and gives the whole text as its tooltip.
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
  // What the line shows at its present width.
  QString shownText() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
};

}  // namespace velquor::ui
