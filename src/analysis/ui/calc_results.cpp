#include "analysis/ui/calc_results.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "analysis/result_texts.h"
#include "analysis/strokes.h"
#include "plot/ui/picture_base.h"

namespace velquor::ui {
namespace {

// Columns of the lower table (twips inside the results frame).
constexpr int kLabelA = 120;
constexpr int kLabelB = 960;
constexpr int kCol[4] = {1980, 2760, 3540, 4320};
constexpr int kUnit = 5160;
constexpr int kBoxWidth = 720;
constexpr int kRowHeight = 330;

}  // namespace

Form7::Form7(const StrokeResults& strokes, QWidget* parent)
    : FormSurface(9960, kForm7Frame.base.top + kForm7Frame.base.height + 120, parent),
      strokes_(strokes) {
  setObjectName("Form7");
  setWindowFlag(Qt::Window);
  setWindowTitle("Calculated Results Screen");
  BuildConditions();
  BuildResults();
  results_.Bind(*this, StrokeTableFields(StrokeTableTexts{}));
  results_.Bind(*this, ChosenStrokeFields(ChosenStrokeTexts{}));
  Picture_base = new PictureBase(kForm7Frame, this);
  Picture_base->setObjectName(ArrayName("Picture_base", 0));
  Place(Picture_base, kForm7Frame.base.left, kForm7Frame.base.top, kForm7Frame.base.width,
        kForm7Frame.base.height);
  Command1 = Button(this, "Command1", "Close Screen", 120, 1500, 1440, 390);
  connect(Command1, &QPushButton::clicked, this, &QWidget::hide);
  // Why the table holds fewer than three strokes, when it does.
  lblFewStrokes = Label(this, QString(), 120, 2010, 2895, 3270);
  lblFewStrokes->setObjectName("lblFewStrokes");
  lblFewStrokes->setWordWrap(true);
  lblFewStrokes->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

QLineEdit* Form7::ResultBox(QWidget* parent, const QString& name, int left, int top) {
  QLineEdit* box = Edit(parent, name, QString(), left, top, kBoxWidth, kRowHeight);
  MakeReadOut(box);
  return box;
}

QLineEdit* Form7::Box(const QString& name) const {
  return findChild<QLineEdit*>(name);
}

void Form7::BuildConditions() {
  QGroupBox* f = Frame(this, "Frame1", "Calculated Condition", 120, 120, 2895, 1260);
  Label(f, "From", 120, 300, 480, 300);
  txtStartPosCond = Edit(f, "txtStartPosCond", "1", 600, 270, 600, kRowHeight);
  Label(f, "To", 1260, 300, 300, 300);
  txtEndPosCond = Edit(f, "txtEndPosCond", "4", 1560, 270, 600, kRowHeight);
  Label(f, "sec", 2220, 300, 480, 300);
  Label(f, "Less than", 120, 630, 960, 300);
  txtLimitCond = Edit(f, "txtLimitCond", "2", 1080, 600, 600, kRowHeight);
  Label(f, "Nm", 1740, 630, 480, 300);
  optLimit_ch0 = Option(f, "optLimit_ch0", "ch0", 120, 930, 780, 300);
  optLimit_ch1 = Option(f, "optLimit_ch1", "ch1", 960, 930, 780, 300);
  optLimit_Auto = Option(f, "optLimit_Auto", "Auto", 1800, 930, 900, 300);
  optLimit_Auto->setChecked(true);
  for (QLineEdit* box : {txtStartPosCond, txtEndPosCond, txtLimitCond}) {
    connect(box, &QLineEdit::textChanged, this, &Form7::conditionsChanged);
  }
  for (QRadioButton* option : {optLimit_ch0, optLimit_ch1, optLimit_Auto}) {
    connect(option, &QRadioButton::toggled, this, &Form7::conditionsChanged);
  }
}

std::array<std::string, 3> Form7::ConditionTexts() const {
  return {FromQ(txtStartPosCond->text()), FromQ(txtEndPosCond->text()),
          FromQ(txtLimitCond->text())};
}

void Form7::SetConditionTexts(const std::array<std::string, 3>& texts) {
  txtStartPosCond->setText(ToQ(texts[0]));
  txtEndPosCond->setText(ToQ(texts[1]));
  txtLimitCond->setText(ToQ(texts[2]));
}

void Form7::BuildResults() {
  QGroupBox* f = Frame(this, "Frame2", "Calculated Results", 3120, 120, 6720, 5160);

  // Strokes No.1 to No.3: the options choose the stroke whose statistics are shown below.
  Label(f, "Stroke", kLabelA, 270, 780, 300);
  const char* strokeCols[] = {"sec", "m", "deg"};
  for (int c = 0; c < 3; ++c) Label(f, strokeCols[c], kCol[c] + 120, 270, 600, 300);
  for (int k = 1; k <= 3; ++k) {
    const int top = 240 + 330 * k;
    const QString n = QString::number(k);
    opt_Noc.at(k) = Option(f, ArrayName("opt_Noc", k), "No." + n, kLabelA, top, 1200, 300);
    ResultBox(f, "txtStTime" + n, kCol[0], top);
    ResultBox(f, "txtStDis" + n, kCol[1], top);
    ResultBox(f, "txtStAngle" + n, kCol[2], top);
    connect(opt_Noc.at(k), &QRadioButton::clicked, this, [this] { ShowStrokeResults(); });
  }
  opt_Noc.at(1)->setChecked(true);
  Command2 = Button(f, "Command2", "Re-Save", 5160, 570, 1320, 390);
  connect(Command2, &QPushButton::clicked, this, &Form7::reSaveRequested);

  // The chosen stroke: speed, then torque and power of each wheel.
  int top = 1650;
  const char* heads[] = {"Max.", "Av.", "Min.", "Fluctuation"};
  for (int c = 0; c < 4; ++c) Label(f, heads[c], kCol[c] + 60, top, c == 3 ? 1200 : 720, 300);
  top += 300;
  Label(f, "Speed", kLabelA, top + 30, 780, 300);
  ResultBox(f, "txtSpeedMax", kCol[0], top);
  ResultBox(f, "txtSpeedAv", kCol[1], top);
  ResultBox(f, "txtSpeedMin", kCol[2], top);
  ResultBox(f, "txtdSpeed", kCol[3], top);
  Label(f, "m/s", kUnit, top + 30, 720, 300);
  struct PerWheel {
    const char* caption;
    const char* base;
    const char* unit;
  };
  const PerWheel rows[] = {{"Torque", "Tq", "Nm"}, {"Power", "Power", "W"}};
  for (const PerWheel& row : rows) {
    for (int ch = 0; ch < 2; ++ch) {
      top += kRowHeight;
      if (ch == 0) Label(f, row.caption, kLabelA, top + 30, 780, 300);
      Label(f, ch == 0 ? "ch0 (L)" : "ch1 (R)", kLabelB, top + 30, 780, 300);
      const QString base = row.base;
      ResultBox(f, ArrayName("txt" + FromQ(base) + "Max", ch), kCol[0], top);
      ResultBox(f, ArrayName("txt" + FromQ(base) + "Av", ch), kCol[1], top);
      ResultBox(f, ArrayName("txt" + FromQ(base) + "Min", ch), kCol[2], top);
      ResultBox(f, ArrayName("txtd" + FromQ(base), ch), kCol[3], top);
      if (ch == 0) Label(f, row.unit, kUnit, top + 30, 720, 300);
    }
  }

  // Turning and sideways movement over the stroke: largest, smallest and their difference.
  top += 420;
  const char* rangeHeads[] = {"Max.", "Min.", "Def."};
  for (int c = 0; c < 3; ++c) Label(f, rangeHeads[c], kCol[c] + 60, top, 840, 300);
  struct Range {
    const char* caption;
    const char* base;
    const char* unit;
  };
  const Range ranges[] = {{"Turn Angle", "Alpha", "deg"},
                          {"Angular Speed", "Beta", "deg/s"},
                          {"Movement to Side", "Y", "mm"}};
  for (const Range& r : ranges) {
    top += kRowHeight;
    Label(f, r.caption, kLabelA, top + 30, kCol[0] - kLabelA - 60, 300);
    const QString base = QString("txt") + r.base;
    ResultBox(f, base + "Max", kCol[0], top);
    ResultBox(f, base + "Min", kCol[1], top);
    ResultBox(f, base + "Def", kCol[2], top);
    Label(f, r.unit, kCol[3] + 60, top + 30, 720, 300);
  }
}

StrokeConditions Form7::ReadConditions() const {
  JudgeChannel channel = JudgeChannel::kAuto;
  // The options are tested in this order; with the usual single choice one of them holds.
  if (optLimit_ch0->isChecked()) {
    channel = JudgeChannel::kCh0;
  } else if (optLimit_ch1->isChecked()) {
    channel = JudgeChannel::kCh1;
  }
  return ReadStrokeConditions(FromQ(txtStartPosCond->text()), FromQ(txtLimitCond->text()), channel);
}

int Form7::ChosenStroke() const {
  int k = 1;
  for (int i = 1; i <= 3; ++i) {
    if (opt_Noc.at(i)->isChecked()) k = i;
  }
  return k;
}

void Form7::ShowWhyFewStrokes(const std::optional<std::string>& why) {
  lblFewStrokes->setText(why ? ToQ(*why) : QString());
}

void Form7::ShowStrokeResults() {
  results_.Fill(StrokeTableFields(StrokeBoxTexts(strokes_)));
  results_.Fill(ChosenStrokeFields(ChosenStrokeResultTexts(strokes_, ChosenStroke())));
}

}  // namespace velquor::ui
