// Building the screens in code: controls placed at their design positions in twips and
// scaled with the window, named after their controls, and text passed as UTF-8.
#pragma once

#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>
#include <string>
#include <string_view>
#include <vector>

#include "common/colors.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace velquor::ui {

inline constexpr int kTwipsPerPixel = 15;

inline QString ToQ(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
inline std::string FromQ(const QString& s) {
  return s.toStdString();
}

// A stored path ("\" between the parts) as this system writes it, for screens and notices.
QString ShownPath(std::string_view stored);

// "txtTqMax(0)": the name of element `index` of a control array.
QString ArrayName(std::string_view base, int index);

// A window whose controls keep their design rectangles (twips, relative to their parent)
// and follow the window's size: enlarging the window scales every control alike.
class FormSurface : public QWidget {
 public:
  // `design_width` and `design_height` are the client area in twips.
  FormSurface(int design_width, int design_height, QWidget* parent = nullptr);

  // Puts `w` at left/top/width/height twips inside its parent and keeps it there.
  void Place(QWidget* w, int left, int top, int width, int height);

  // Control makers: each control is made a child of `parent`, named, placed and captioned.
  QLabel* Label(QWidget* parent, const QString& caption, int left, int top, int width, int height);
  // A one-line return-code text: a sunken label.
  QLabel* ReturnLine(QWidget* parent, const QString& name, int left, int top, int width,
                     int height);
  QLineEdit* Edit(QWidget* parent, const QString& name, const QString& text, int left, int top,
                  int width, int height);
  QPushButton* Button(QWidget* parent, const QString& name, const QString& caption, int left,
                      int top, int width, int height);
  QGroupBox* Frame(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                   int width, int height);
  QCheckBox* Check(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                   int width, int height);
  QRadioButton* Option(QWidget* parent, const QString& name, const QString& caption, int left,
                       int top, int width, int height);

  QSize sizeHint() const override;
  // The factor the design is drawn at (1 at the design size).
  double scale() const { return scale_; }
  // Lets the design be drawn smaller than its size, down to `scale` (1 unless set).
  void SetMinimumScale(double scale);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct Placed {
    QPointer<QWidget> widget;
    QRect twips;
  };
  void Apply(const Placed& p) const;
  template <class W>
  W* Named(QWidget* parent, const QString& name, const QString& text, int left, int top, int width,
           int height);

  int design_width_;
  int design_height_;
  double scale_ = 1.0;
  double minScale_ = 1.0;
  std::vector<Placed> placed_;
};

// A read-only text box for results: selectable, not editable, in the given text colour.
void MakeReadOut(QLineEdit* box);
void SetTextColour(QWidget* w, Rgb colour);
// The window colour of the system menus, for boxes the program fills itself.
void UseMenuBackground(QLineEdit* box);

// Keeps the beginning of the box's text in view when the program sets a text too long for
// it (a box shows the end of a long text otherwise).
void ShowBeginning(QLineEdit* box);

// Marks a box whose text cannot be used (a pink background and the property
// "conditionError"), or takes the mark away; menu_background boxes return to that colour.
void MarkWrongBox(QLineEdit* box, bool wrong, bool menu_background = false);

// Sets the text only when it differs, so an unchanged text fires no change handler.
void SetTextIfDifferent(QLineEdit* box, const QString& text);

// The window's caption, followed by " - " and the saved measurement it shows, if any.
void TitleWithSource(QWidget* window, const QString& caption, const QString& shown_path);

// Shows a screen without waiting and brings it in front of the others.
void ShowScreen(QWidget* screen);
// Escape closes the screen, as the close box of its title bar does.
void CloseOnEscape(QWidget* screen);

// "Timer ON" of a monitor screen: the interval box converted as a complete number rounded to
// whole msec. Gives false, with the timer left as it was, when the text is no such number;
// an interval of 0 gives no ticks.
bool StartWindowTimer(QTimer& timer, const QLineEdit* interval_box);

}  // namespace velquor::ui
