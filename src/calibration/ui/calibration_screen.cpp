#include "calibration/ui/calibration_screen.h"

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "calibration/calibration_workflow.h"
#include "calibration/fit.h"
#include "calibration/fit_review.h"
#include "common/number_parse.h"
#include "common/number_text.h"
#include "daq/return_code.h"
#include "files/calibration_file.h"
#include "files/save_stamp.h"
#include "plot/calib_graph.h"
#include "plot/ui/picture_base.h"

namespace velquor::ui {
namespace {

// The left column (device, condition, result, graph), then the two channels' tables.
constexpr int kLeftWidth = 5160;
constexpr int kRowTop = 540;
constexpr int kRowStep = 390;
// The Result frame holds each channel's line and, under it, how well the last fit fits.
constexpr int kResultRowStep = 600;
constexpr int kResultHeight = 1500;
constexpr int kGraphTop = 1980 + kResultHeight + 60;
constexpr int kButtonTop = kGraphTop + 2655 + 105;
constexpr int kInForceTop = kButtonTop + 480;
constexpr int kDesignWidth = 11040;
constexpr int kDesignHeight = kInForceTop + 420;

}  // namespace

Form5::Form5(Workspace& ws, AcqDriver& driver, QWidget* parent)
    : MonitorForm(kDesignWidth, kDesignHeight, "Calibration Screen", "live reading", parent),
      ws_(ws),
      driver_(driver) {
  setObjectName("Form5");
  setWindowTitle("Strain Gauge Calibration Screen");

  QGroupBox* ad = Frame(this, "Frame3", "A/D Converter", 120, 60, kLeftWidth, 1290);
  QLineEdit** channels[] = {&Text4, &Text5};
  for (int k = 0; k < 2; ++k) {
    const int top = 270 + 330 * k;
    Label(ad, "Channel No :", 120, top + 15, 1320, 300);
    *channels[k] = Edit(ad, k == 0 ? "Text4" : "Text5", QString::number(k), 1440, top, 420, 300);
    (*channels[k])->setReadOnly(true);
    Label(ad, "Data :", 1980, top + 15, 600, 300);
    txtVolt.at(k) = Edit(ad, "txtVolt" + QString::number(k), QString(), 2580, top, 1500, 300);
    ShowBeginning(txtVolt.at(k));
    Label(ad, "V", 4140, top + 15, 300, 300);
  }
  Label(ad, "Ret", 120, 945, 420, 270);
  RetInf_AD = ReturnLine(ad, "RetInf_AD", 600, 930, kLeftWidth - 720, 285);

  QGroupBox* cond = Frame(this, "Frame4", "Condition", 120, 1410, kLeftWidth, 540);
  Label(cond, "Timer Interval", 120, 225, 1380, 270);
  txtTimerInterval = Edit(cond, "txtTimerInterval", "50", 1500, 195, 600, 300);
  Label(cond, "msec", 2160, 225, 540, 270);
  Command3 = Button(cond, "Command3", "Timer ON", 2760, 180, 1140, 315);
  Command2 = Button(cond, "Command2", "Timer OFF", 3930, 180, 1140, 315);

  QGroupBox* result = Frame(this, "Frame5", "Result", 120, 1980, kLeftWidth, kResultHeight);
  std::array<QLineEdit*, 2>* coefficients[] = {&txtKa0, &txtKa1};
  for (int ch = 0; ch < 2; ++ch) {
    const int top = 240 + kResultRowStep * ch;
    const std::string base = ch == 0 ? "txtKa0" : "txtKa1";
    Label(result, "ch" + QString::number(ch) + ": Tq(Nm)=", 120, top + 15, 1440, 270);
    (*coefficients[ch])[1] = Edit(result, ArrayName(base, 1), QString(), 1560, top, 1200, 300);
    Label(result, "V x", 2820, top + 15, 420, 270);
    (*coefficients[ch])[0] = Edit(result, ArrayName(base, 0), QString(), 3240, top, 1200, 300);
    for (QLineEdit* box : *coefficients[ch]) {
      MakeReadOut(box);
      ShowBeginning(box);
    }
    QLabel* quality = Label(result, QString(), 1560, top + 315, kLeftWidth - 1680, 270);
    quality->setObjectName(ArrayName("lblFitQuality", ch));
    lblFitQuality.at(static_cast<std::size_t>(ch)) = quality;
  }

  Picture_base = new PictureBase(kForm5Frame, this);
  Picture_base->setObjectName(ArrayName("Picture_base", 0));
  Place(Picture_base, kForm5Frame.base.left, kGraphTop, kForm5Frame.base.width,
        kForm5Frame.base.height);

  Command4 = Button(this, "Command4", "Calcuration and Save", 120, kButtonTop, 2400, 390);
  Command1 = Button(this, "Command1", "Close Screen", 2640, kButtonTop, 1575, 390);
  lblInForce = Label(this, QString(), 120, kInForceTop, kDesignWidth - 240, 300);
  lblInForce->setObjectName("lblInForce");
  lblInForce->setTextInteractionFlags(Qt::TextSelectableByMouse);

  BuildChannel(0);
  BuildChannel(1);

  connect(Command3, &QPushButton::clicked, this, &Form5::TimerOn);
  connect(Command2, &QPushButton::clicked, this, &Form5::TimerOff);
  connect(Command1, &QPushButton::clicked, this, &Form5::CloseScreen);
  connect(Command4, &QPushButton::clicked, this, &Form5::CalculateAndSave);
  ShowCalibrationRows();
}

void Form5::BuildChannel(int ch) {
  const QString n = QString::number(ch);
  QGroupBox* f =
      Frame(this, "Frame" + QString::number(ch + 1), ch == 0 ? "ch0 (Left)" : "ch1 (Right)",
            kLeftWidth + 240 + 2820 * ch, 60, 2700, 6180);
  Label(f, "Volt (V)", 120, 240, 1020, 270);
  Label(f, "Torque (Nm)", 1200, 240, 1380, 270);
  for (int j = 0; j < kCalRows; ++j) {
    const int top = kRowTop + kRowStep * j;
    const auto row = static_cast<std::size_t>(j);
    QLineEdit* volt =
        Edit(f, ArrayName("txtVoltData" + FromQ(n), j), QString(), 120, top, 1020, 330);
    QLineEdit* torque =
        Edit(f, ArrayName("txtTqData" + FromQ(n), j), QString(), 1200, top, 780, 330);
    QPushButton* set = Button(f, ArrayName("cmdSet" + FromQ(n), j), "Set", 2040, top, 540, 330);
    ShowBeginning(volt);
    ShowBeginning(torque);
    txtVoltData.at(ch).at(row) = volt;
    txtTqData.at(ch).at(row) = torque;
    cmdSet.at(ch).at(row) = set;
    // The rows keep their texts in the calibration in force, where the fit and the file
    // take them from.
    std::string* voltText = &ws_.calibration.VoltText.at(ch).at(row);
    std::string* torqueText = &ws_.calibration.TqText.at(ch).at(row);
    connect(volt, &QLineEdit::textChanged, this,
            [voltText](const QString& t) { *voltText = FromQ(t); });
    connect(torque, &QLineEdit::textChanged, this,
            [torqueText](const QString& t) { *torqueText = FromQ(t); });
    connect(set, &QPushButton::clicked, this, [this, ch, j] { SetRow(ch, j); });
  }
  cmdCls.at(ch) = Button(f, "cmdCls" + n, "Clear", 120, 5700, 2460, 360);
  connect(cmdCls.at(ch), &QPushButton::clicked, this, [this, ch] { ClearChannel(ch); });
}

void Form5::ShowCalibrationRows() {
  // Copies first: setting a box writes its text back into the same table.
  const auto volts = ws_.calibration.VoltText;
  const auto torques = ws_.calibration.TqText;
  for (std::size_t ch = 0; ch < 2; ++ch) {
    for (std::size_t j = 0; j < kCalRows; ++j) {
      txtVoltData.at(ch).at(j)->setText(ToQ(volts.at(ch).at(j)));
      txtTqData.at(ch).at(j)->setText(ToQ(torques.at(ch).at(j)));
    }
  }
}

void Form5::DrawCalibGraph() {
  velquor::DrawCalibGraph(Picture_base->frame(), ws_.calibration, ws_.GraphColor);
}

void Form5::LiveRead() {
  DeviceState& dev = ws_.device;
  if (dev.measuring) {
    // The run's thread alone reads the devices (a card running a command refuses single
    // reads): its latest sample is what they gave.
    if (const auto s = RunSampleNow()) {
      for (std::size_t k = 0; k < 2; ++k) txtVolt.at(k)->setText(ToQ(PlainForm(s->volt.at(k))));
    }
    return;
  }
  dev.RetCode = driver_.AioInp(dev.AioId, dev.AioReq);
  RetInf_AD->setText(ToQ("AioInp Return Code = " + ReturnCodeText(dev.RetCode)));
  for (std::size_t k = 0; k < 2; ++k) {
    txtVolt.at(k)->setText(ToQ(PlainForm(BinaryToVI(-10.0f, 10.0f, 1, 12, dev.AiData.at(k)))));
  }
}

void Form5::SetRow(int ch, int j) {
  const auto row = static_cast<std::size_t>(j);
  QLineEdit* live = txtVolt.at(ch);
  QLineEdit* volt = txtVoltData.at(ch).at(row);
  QLineEdit* torque = txtTqData.at(ch).at(row);
  Canvas& canvas = Picture_base->frame().canvas();
  if (!live->text().isEmpty() && volt->text().isEmpty()) {
    volt->setText(live->text());
    MarkCalibPoint(canvas, Val(FromQ(volt->text())), Val(FromQ(torque->text())),
                   ws_.GraphColor.at(static_cast<std::size_t>(ch)));
    return;
  }
  EraseCalibPoint(canvas, Val(FromQ(volt->text())), Val(FromQ(torque->text())));
  volt->clear();
}

void Form5::ClearChannel(int ch) {
  for (QLineEdit* volt : txtVoltData.at(ch)) volt->clear();
}

void Form5::CalculateAndSave() {
  if (!keepWorkingFile_.isEmpty()) {
    emit notice("Calibration not changed: " + keepWorkingFile_);
    return;
  }
  if (question_) {
    question_->raise();
    return;
  }
  auto proposed = ProposeFit(ws_.calibration);
  if (!proposed) {
    emit notice("Calibration not changed: " + ToQ(proposed.problem().Describe()));
    return;
  }
  const FitProposal proposal = std::move(proposed.value());
  for (std::size_t ch = 0; ch < 2; ++ch) {
    lblFitQuality.at(ch)->setText("Fit: " + ToQ(QualityText(proposal.review.channel.at(ch))));
  }
  if (!proposal.review.Doubtful()) {
    Adopt(proposal.fit);
    return;
  }
  question_ = new QMessageBox(QMessageBox::Question, windowTitle(),
                              ToQ(ReplaceQuestion(proposal.review, proposal.fit, ws_.calibration)),
                              QMessageBox::Yes | QMessageBox::No, this);
  question_->setDefaultButton(QMessageBox::No);
  question_->setWindowModality(Qt::WindowModal);
  question_->setAttribute(Qt::WA_DeleteOnClose);
  // The answer comes through the event loop, which goes on serving a running measurement.
  connect(question_, &QMessageBox::finished, this, [this, fit = proposal.fit](int answer) {
    question_ = nullptr;
    if (answer != QMessageBox::Yes) {
      const QString kept = ws_.calibration.file.empty()
                               ? QString("no file was written")
                               : ToQ(ws_.calibration.file) + " was kept as it is";
      emit notice("Calibration not changed: the calibration in force stays; " + kept);
      return;
    }
    Adopt(fit);
  });
  question_->open();
}

QMessageBox* Form5::PendingQuestion() const {
  return question_.data();
}

void Form5::Adopt(const CalibrationFit& fit) {
  const CalibrationSave save = AdoptFit(fit, ws_.calibration, ws_.naming.Auto.Dir, CurrentStamp());
  const CoefficientTexts texts = ShowCoefficients(ws_.calibration);
  for (std::size_t i = 0; i < 2; ++i) {
    txtKa0.at(i)->setText(ToQ(texts.txtKa0.at(i)));
    txtKa1.at(i)->setText(ToQ(texts.txtKa1.at(i)));
  }
  DrawCalibGraph();
  ShowInForce();
  if (!save.working.ok()) {
    emit notice("The calibration is in use but was not written: " +
                ToQ(save.working.problem().Describe()));
  }
  if (!save.copy.ok()) {
    emit notice("The dated copy of the calibration was not written: " +
                ToQ(save.copy.problem().Describe()));
  }
  for (const Problem& p : save.notices) emit notice(ToQ(p.Describe()));
  if (save.working.ok() || save.copy.ok()) {
    const QString working = QDir::current().absoluteFilePath(kCalibrationFileName);
    const QString copy = ShownPath(save.copyPath);
    emit notice(save.working.ok() && save.copy.ok()
                    ? "Calibration saved in " + working + ", its dated copy in " + copy
                : save.working.ok() ? "Calibration saved in " + working
                                    : "Dated copy of the calibration saved in " + copy);
  }
}

void Form5::ShowInForce() {
  const QString text = "In force: " + ToQ(InForceText(ws_.calibration));
  lblInForce->setText(text);
  lblInForce->setToolTip(text);
  emit inForceChanged("Calibration in force: " + ToQ(InForceText(ws_.calibration)));
}

}  // namespace velquor::ui
