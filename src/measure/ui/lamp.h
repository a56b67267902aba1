// A status lamp of the main window: a round shape filled with green, red or yellow, as the
// device, timer and save states it stands for.
#pragma once

#include <QWidget>

#include "common/colors.h"

namespace velquor::ui {

class Lamp : public QWidget {
 public:
  explicit Lamp(QWidget* parent = nullptr);

  void SetColour(Rgb colour);
  Rgb colour() const { return colour_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Rgb colour_ = kLampRed;
};

}  // namespace velquor::ui
