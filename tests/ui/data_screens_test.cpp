// The calibration screen (capture, release, fit, file), Data View reloading a saved
// measurement, the Calculated Results screen's stroke choice and Re-Save, and the Pushes
// screen following the analysis.
#include <QDirIterator>
#include <QFileDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QRadioButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <variant>

#include "analysis/result_texts.h"
#include "analysis/ui/calc_results.h"
#include "analysis/ui/pushes_screen.h"
#include "calibration/ui/calibration_screen.h"
#include "files/calibration_file.h"
#include "files/ui/data_view.h"
#include "program_fixture.h"

using velquor::testing::Program;

namespace velquor {
namespace {

std::vector<CircleCmd> Circles(ui::Form5& f) {
  std::vector<CircleCmd> out;
  for (const CanvasCommand& c : f.graph().pctFig()->recording().commands()) {
    if (const auto* circle = std::get_if<CircleCmd>(&c)) out.push_back(*circle);
  }
  return out;
}

// Every text the two result tables and the torque graphs show, by control name.
QMap<QString, QString> ShownResults(ui::Form1& w) {
  QMap<QString, QString> shown;
  auto take = [&shown](QWidget* in, const QString& prefix) {
    for (QLineEdit* box : in->findChildren<QLineEdit*>()) {
      if (box->objectName().startsWith("txt") && box->isReadOnly()) {
        shown[prefix + box->objectName()] = box->text();
      }
    }
  };
  take(w.centralWidget(), "main ");
  take(&w.CalcResults(), "strokes ");
  for (const char* end : {"Ymin", "Ymax", "Xmax"}) {
    shown[QString("torque ") + end] = w.Picture_base[0]->findChild<QLineEdit*>(end)->text();
  }
  return shown;
}

// One 3 s cycle on the rig (1500 samples at 2 ms: the rig's world runs in the
// measurement's time, so three pushes take three seconds), whose gauges give about 20 Nm per
// volt; saved automatically as data\RUN0000001 when `save`.
void MeasureOnce(Program& p, bool save) {
  ui::Form1& w = p.window();
  p.ws().calibration.Ka1 = {20, 20};
  p.Prepare("1500");
  w.txtTimerInterval->setText("2");
  w.CalcResults().txtStartPosCond->setText("0");
  w.chkAutoDataSave->setChecked(save);
  p.Run(1);
}

}  // namespace

class DataScreensTest : public QObject {
  Q_OBJECT

 private slots:
  void setCapturesAndReleasesARow() {
    Program p(true);
    p.scripted().codes = {2100, 2050};
    ui::Form5& f = p.window().Calibration();
    f.LiveRead();
    QCOMPARE(f.txtVolt.at(0)->text(), QString("0.2539063"));
    QCOMPARE(f.RetInf_AD->text(), QString("AioInp Return Code = 000h"));

    f.cmdSet.at(0).at(2)->click();
    QCOMPARE(f.txtVoltData.at(0).at(2)->text(), QString("0.2539063"));
    QCOMPARE(Circles(f).size(), std::size_t{1});
    QCOMPARE(Circles(f).back(), (CircleCmd{0.2539063f, -20, 0.05f, MakeRgb(255, 0, 0)}));
    // The second press paints the marker over in white and empties the row.
    f.cmdSet.at(0).at(2)->click();
    QCOMPARE(f.txtVoltData.at(0).at(2)->text(), QString());
    QCOMPARE(Circles(f).back(), (CircleCmd{0.2539063f, -20, 0.05f, kWhite}));
    // A captured voltage longer than its box shows its beginning.
    f.cmdSet.at(1).at(0)->click();
    QCOMPARE(f.txtVoltData.at(1).at(0)->text(), QString("0.009765625"));
    QCOMPARE(f.txtVoltData.at(1).at(0)->cursorPosition(), 0);
    // Without a live voltage a press on an empty row only paints white at 0 V.
    f.txtVolt.at(1)->clear();
    f.cmdSet.at(1).at(5)->click();
    QCOMPARE(f.txtVoltData.at(1).at(5)->text(), QString());
    QCOMPARE(Circles(f).back(), (CircleCmd{0, -5, 0.05f, kWhite}));
  }

  void fitShowsDrawsAndWrites_data() {
    QTest::addColumn<QStringList>("ch1Volts");  // rows 2 and 10 of channel 1
    QTest::addColumn<bool>("fits");
    QTest::newRow("both channels fit") << QStringList{"-0.5", "0.5"} << true;
    QTest::newRow("one voltage on ch1") << QStringList{"", "0.5"} << false;
    QTest::newRow("a voltage that is no number") << QStringList{"-0.5", "0.5V"} << false;
  }
  void fitShowsDrawsAndWrites() {
    QFETCH(QStringList, ch1Volts);
    QFETCH(bool, fits);
    Program p;
    ui::Form1& w = p.window();
    QDir().mkpath(p.path("auto"));
    w.FileOption().txtFileDir->setText(p.stored("auto"));
    ui::Form5& f = w.Calibration();
    const char* ch0[][3] = {{"0", "-1", "-19"}, {"6", "0", "1"}, {"12", "1", "21"}};
    for (const auto& row : ch0) {
      f.txtVoltData.at(0).at(std::atoi(row[0]))->setText(row[1]);
      f.txtTqData.at(0).at(std::atoi(row[0]))->setText(row[2]);
    }
    f.txtVoltData.at(1).at(2)->setText(ch1Volts.at(0));
    f.txtVoltData.at(1).at(10)->setText(ch1Volts.at(1));  // torques -20 and 20
    f.Command4->click();

    QCOMPARE(QFile::exists(p.path(kCalibrationFileName)), fits);
    QDirIterator copies(p.path("auto"), {"*.clb"});
    QCOMPARE(copies.hasNext(), fits);
    if (!fits) {
      QVERIFY(!p.notice("Calibration not changed").isEmpty());
      QCOMPARE(p.ws().calibration.Ka1[0], 0.0);
      QCOMPARE(f.txtKa0.at(1)->text(), QString());
      return;
    }
    const QString copy = copies.next();
    QVERIFY(QRegularExpression("^\\d{8}\\.clb$").match(QFileInfo(copy).fileName()).hasMatch());
    QCOMPARE(p.notice("Calibration saved"), "Calibration saved in " + p.path(kCalibrationFileName) +
                                                ", its dated copy in " + copy);
    QCOMPARE(f.txtKa0.at(1)->text(), QString("20."));
    QCOMPARE(f.txtKa0.at(0)->text(), QString("1."));
    QCOMPARE(f.txtKa1.at(1)->text(), QString("40."));
    QCOMPARE(f.txtKa1.at(0)->text(), QString("."));
    QCOMPARE(p.ws().calibration.Ka1[0], 20.0);
    QCOMPARE(p.ws().calibration.CalCount[0], 3);
    // Points, then the lines on top of them.
    QCOMPARE(Circles(f).size(), std::size_t{5});
    const auto& cmds = f.graph().pctFig()->recording().commands();
    QCOMPARE(std::get<LineCmd>(cmds.back()), (LineCmd{-2, -80, 2, 80, MakeRgb(0, 0, 255)}));
    // The reloaded file gives the same coefficients to the next start.
    const CalibrationLoad back = LoadCalibration(ui::FromQ(p.path(kCalibrationFileName)));
    QCOMPARE(back.values.Ka1[1], 40.0);
    QCOMPARE(back.values.VoltText[0][12], std::string("1"));
  }

  void dataViewReloadsASavedMeasurement() {
    Program p;
    ui::Form1& w = p.window();
    MeasureOnce(p, true);
    QVERIFY2(p.ws().strokes.StrokeCount >= 1, "the rig should push at least twice in 3 s");
    const QMap<QString, QString> saved = ShownResults(w);
    MeasureOnce(p, false);  // a second, different measurement in memory
    w.txtDataNum->setText("150");
    QVERIFY(ShownResults(w) != saved);

    ui::Form6& f = w.DataView();
    f.Command1->click();  // nothing chosen yet
    QVERIFY(!p.notice("choose a summary file").isEmpty());
    f.SetDirectory(p.path("data"));
    QCOMPARE(f.File1->count(), 1);  // the per-sample file is not listed
    QCOMPARE(f.File1->item(0)->text(), QString("RUN0000001_dat.csv"));
    f.File1->setCurrentRow(0);
    QCOMPARE(ui::ToQ(f.ViewDatPath()), p.stored("data") + "\\RUN0000001_dat.csv");
    f.Command1->click();
    QCOMPARE(ShownResults(w), saved);
    // The notice and both result screens' titles name the file now shown.
    const QString shown = p.path("data/RUN0000001_dat.csv");
    QCOMPARE(p.notice("Showing"), "Showing " + shown);
    QVERIFY(w.windowTitle().endsWith(shown));
    QVERIFY(w.CalcResults().windowTitle().endsWith(shown));
    QCOMPARE(w.RetInf->text(), QString());
    QCOMPARE(p.ws().record.DataNum, 1500.0f);
    // The condition boxes are left for the next live measurement.
    QCOMPARE(w.txtDataNum->text(), QString("150"));

    // Without its per-sample file the measurement is not read and the record stays.
    QFile::remove(p.path("data/RUN0000001_csv.csv"));
    p.ws().record.DataNum = 123;
    f.Command1->click();
    QVERIFY(p.notice("Data View").contains("RUN0000001_csv.csv"));
    QCOMPARE(p.ws().record.DataNum, 123.0f);
  }

  void dataViewSeesFoldersMadeAfterItListed() {
    Program p;
    ui::Form1& w = p.window();
    p.Prepare();
    ui::Form6& f = w.DataView();
    ui::ShowScreen(&f);  // the first time at the Auto Save directory
    QCOMPARE(f.directory(), p.path("data"));
    QTreeWidgetItem* data = f.Dir1->currentItem();
    QVERIFY(data->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator);
    const auto names = [](QTreeWidgetItem* item) {
      QStringList out;
      for (int i = 0; i < item->childCount(); ++i) out.push_back(item->child(i)->text(0));
      return out;
    };

    // Shown again, the open directories are listed afresh.
    QDir().mkpath(p.path("later"));
    f.Command2->click();
    ui::ShowScreen(&f);
    QCOMPARE(names(data->parent()), QStringList({"data", "later"}));
    // Each time a directory is opened it is listed afresh.
    for (const char* sub : {"first", "second"}) {
      QDir().mkpath(p.path("data/") + sub);
      data->setExpanded(false);
      data->setExpanded(true);
      QVERIFY(names(data).contains(sub));
    }
  }

  // "Report..." asks for the file without blocking, writes the PDF and names it; a file that
  // exists is kept unless the user says to replace it.
  void reportOfTheMeasurementAndOfSelectedFiles() {
    Program p;
    ui::Form1& w = p.window();
    w.cmdReport->click();
    QVERIFY(!p.notice("no analysed measurement").isEmpty());
    MeasureOnce(p, true);
    for (const char* end : {"_dat.csv", "_csv.csv"}) {
      QVERIFY(QFile::copy(p.path("data/RUN0000001") + end, p.path("data/RUN0000002") + end));
    }
    auto answer = [&w](const QString& path) {
      QFileDialog* dialog = nullptr;  // the open one; a closed one may await deletion
      for (auto* d : w.findChildren<QFileDialog*>("reportDialog")) {
        if (d->isVisible()) dialog = d;
      }
      QVERIFY(dialog != nullptr);
      dialog->selectFile(path);
      static_cast<QDialog*>(dialog)->accept();  // as the Save button does
    };
    const QString one = p.path("one.pdf");
    w.cmdReport->click();
    answer(one);
    QVERIFY(p.notice("Report written to").endsWith(one));
    QFile written(one);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.read(5), QByteArray("%PDF-"));
    const qint64 size = written.size();

    QFile::resize(one, 10);
    w.cmdReport->click();
    answer(one);
    auto* ask = w.findChild<QMessageBox*>("reportReplace");
    QVERIFY(ask != nullptr);
    ask->button(QMessageBox::No)->click();
    QVERIFY(!p.notice("exists and was kept").isEmpty());
    QCOMPARE(QFileInfo(one).size(), 10);

    ui::Form6& f = w.DataView();
    f.SetDirectory(p.path("data"));
    QCOMPARE(f.File1->count(), 2);
    f.File1->selectAll();
    f.cmdReport->click();
    answer(p.path("session.pdf"));
    QVERIFY(p.notice("Report written to").endsWith("session.pdf"));
    QVERIFY(QFileInfo(p.path("session.pdf")).size() > size);

    // During a run the report is drawn after a cycle's chain, never between two samples.
    const QString during = p.path("during.pdf");
    int seen = 0;
    bool waited = false;
    QObject::connect(&w, &ui::Form1::cycleFinished, &w, [&] {
      if (++seen != 1) return;
      w.cmdReport->click();
      answer(during);
      waited = !QFileInfo::exists(during);
    });
    p.Run(2);
    QVERIFY(waited);
    QVERIFY(!p.notice("when this measurement cycle is in").isEmpty());
    QVERIFY(p.notice("Report written to").endsWith("during.pdf"));
  }

  void pushesScreenFollowsTheChainAndApply() {
    Program p;
    ui::Form1& w = p.window();
    ui::Form8& f = w.Pushes();
    QVERIFY(!f.isVisible());
    w.menuPushes->trigger();
    QVERIFY(f.isVisible());
    f.hide();
    MeasureOnce(p, true);
    QVERIFY(f.HasMeasurement());
    auto rowsMatch = [&f] {
      for (std::size_t wh = 0; wh < 2; ++wh) {
        const auto pushes = static_cast<int>(f.Shown()->wheels.at(wh).pushes.size());
        if (f.tblPushes.at(wh)->rowCount() != pushes + 3) return false;
      }
      return true;
    };
    QVERIFY(rowsMatch());
    QCOMPARE(f.Picture_curve->box(AxisText::kXaxis)->text(), QString("Push time (%)"));
    QCOMPARE(ui::ToQ(f.Source()), p.stored("data") + "\\RUN0000001_dat.csv");

    // A refused box is named and changes nothing; a good one is shown at once.
    f.txtParameter.at(0)->setText("x");
    QVERIFY(!f.Apply());
    QVERIFY(f.lblStatus->text().contains("threshold"));
    QCOMPARE(f.Parameters(), PushParameters{});
    f.txtParameter.at(0)->setText("1");
    f.txtParameter.at(4)->setText("0");  // skip first
    QVERIFY(f.Apply());
    QCOMPARE(f.Shown()->parameters.skip_first, 0);
    QVERIFY(rowsMatch());

    // The CSV is written once and never over a file.
    const QString csv = p.path("pushes.csv");
    QVERIFY(f.ExportCsv(csv));
    QVERIFY(f.lblStatus->text().startsWith("Wrote"));
    QFile written(csv);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.readLine().startsWith("file,wheel,push,on_s,"));
    QVERIFY(!f.ExportCsv(csv));
    QVERIFY(!p.notice("not replaced").isEmpty());

    // View on Data View analyses the reloaded measurement again, named by its file.
    MeasureOnce(p, false);
    QCOMPARE(f.Source(), std::string());
    ui::Form6& v = w.DataView();
    v.SetDirectory(p.path("data"));
    v.File1->setCurrentRow(0);
    v.Command1->click();
    QCOMPARE(f.Source(), v.ViewDatPath());
    QVERIFY(rowsMatch());
    QVERIFY(f.windowTitle().endsWith(p.path("data/RUN0000001_dat.csv")));
  }

  void strokeChoiceAndReSave() {
    Program p;
    ui::Form1& w = p.window();
    MeasureOnce(p, false);
    ui::Form7& f = w.CalcResults();
    QVERIFY(p.ws().strokes.StrokeCount >= 2);
    f.opt_Noc.at(2)->click();
    const ChosenStrokeTexts second = ChosenStrokeResultTexts(p.ws().strokes, 2);
    QCOMPARE(f.Box("txtTqMax(1)")->text(), ui::ToQ(second.txtTqMax[1]));
    QCOMPARE(f.Box("txtYDef")->text(), ui::ToQ(second.txtYDef));

    f.Command2->click();
    QVERIFY(w.FileOption().isVisible());
    QCOMPARE(p.ws().record.SaveFlag, 1);
    QVERIFY(p.ws().record.StopFlag);
    QCOMPARE(w.FileOption().txtFileOrg_Man->text(), QString("5"));  // no number advanced
  }
};

}  // namespace velquor

QTEST_MAIN(velquor::DataScreensTest)
#include "data_screens_test.moc"
