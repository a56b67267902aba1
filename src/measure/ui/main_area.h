// The main window's client area: the graph part and the column part (each a form surface
// drawn at its own scale), and the notice row below them, laid out by LayOutMainWindow so
// the column, its lamps and buttons stay whole on a small desktop while the graphs give way.
#pragma once

#include <QPushButton>
#include <QWidget>

#include "measure/ui/notice_line.h"
#include "ui_kit/form_kit.h"

namespace velquor::ui {

class MainArea : public QWidget {
 public:
  explicit MainArea(QWidget* parent = nullptr);

  FormSurface& graphs() { return *graphs_; }
  FormSurface& column() { return *column_; }
  NoticeLine* noticeLine() const { return noticeLine_; }
  QPushButton* noticesButton() const { return notices_; }

  QSize minimumSizeHint() const override;
  QSize sizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  FormSurface* graphs_;
  FormSurface* column_;
  NoticeLine* noticeLine_;
  QPushButton* notices_;
};

}  // namespace velquor::ui
