// One variable of one wheel on the feedback screen, drawn large for the person on the rig: the
// last push's value with its unit, a bar against the target band, and the last 20 pushes.
#pragma once

#include <QWidget>

#include "analysis/feedback_model.h"

namespace velquor::ui {

class FeedbackTile : public QWidget {
 public:
  explicit FeedbackTile(QWidget* parent = nullptr);

  // What to draw; `title` names the variable and wheel, `unit` follows the value.
  void Show(const QString& title, const QString& unit, const FeedbackCell& cell, const Band& band);

  // What the tile shows, for tests and for the screen's accessible text.
  QString ValueText() const { return value_; }
  // Green in band, amber outside, grey when not judged.
  QColor BarColor() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString title_, unit_, value_, symmetry_;
  FeedbackCell cell_;
  Band band_;
};

// The colours of the screen: white and black for text, green and amber for the bar.
inline constexpr QRgb kInBandColor = 0xff2ecc40;
inline constexpr QRgb kOutOfBandColor = 0xffffb000;
inline constexpr QRgb kNotJudgedColor = 0xff9a9a9a;

}  // namespace velquor::ui
