// The whole desktop program for one test: its own working directory (so Velquor.ini and
// Velquor.clb stay there), a workspace, a driver and the main window.
#pragma once

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>
#include <string>

#include "daq/sim_rig.h"
#include "files/ui/file_option.h"
#include "measure/ui/main_window.h"
#include "measure/ui/notice_line.h"
#include "measure/ui/notice_log.h"
#include "plot/ui/picture_base.h"
#include "support/scripted_driver.h"
#include "ui_kit/form_kit.h"
#include "workspace/workspace.h"

namespace velquor::testing {

class Program {
 public:
  // On the simulated rig, or on a scripted driver the test steers through scripted().
  explicit Program(bool scripted = false)
      : old_(QDir::currentPath()),
        driver_(scripted ? std::unique_ptr<AcqDriver>(std::make_unique<ScriptedDriver>())
                         : std::make_unique<SimRig>(7)) {
    QDir::setCurrent(dir_.path());
  }
  ~Program() {
    window_.reset();
    QDir::setCurrent(old_);
  }

  // The window as the start-up sequence leaves it; made on first use, so the files and the
  // driver can be prepared first.
  ui::Form1& window() {
    if (!window_) {
      window_ = std::make_unique<ui::Form1>(*ws_, *driver_, "test rig");
      QObject::connect(window_.get(), &ui::Form1::cycleFinished, [this] { ++cycles; });
      window_->StartUp();
    }
    return *window_;
  }
  Workspace& ws() { return *ws_; }
  ScriptedDriver& scripted() { return dynamic_cast<ScriptedDriver&>(*driver_); }
  QString path(const QString& name) const { return dir_.filePath(name); }
  // A directory as the File Option boxes hold it, "\" between the parts.
  QString stored(const QString& name) const { return QString(path(name)).replace('/', '\\'); }

  // A short fast condition (1 ms, `count` samples); both naming sets in data\: RUN from 1
  // for automatic saves, M from 5 for manual ones.
  void Prepare(const QString& count = "50") {
    ui::Form1& w = window();
    w.txtTimerInterval->setText("1");
    w.txtDataNum->setText(count);
    QDir().mkpath(path("data"));
    ui::Form4& f = w.FileOption();
    f.txtFileDir->setText(stored("data"));
    f.txtFileHead->setText("RUN");
    f.txtFileOrg->setText("1");
    f.txtFileDir_Man->setText(stored("data"));
    f.txtFileHead_Man->setText("M");
    f.txtFileOrg_Man->setText("5");
  }

  // Presses Start and, from inside the run, Stop once `stop_after` more cycles are in (0: the
  // run has to end by itself), and returns when the run has ended. A run still going after
  // 20 s is stopped all the same.
  void Run(int stop_after = 0) {
    ui::Form1& w = window();
    const int until = cycles + stop_after;
    const auto stop =
        QObject::connect(&w, &ui::Form1::cycleFinished, &w, [this, &w, until, stop_after] {
          if (stop_after > 0 && cycles >= until) w.cmdStop->click();
        });
    QTimer::singleShot(20000, &w, [&w] { w.StopAction(); });
    QEventLoop run;
    const auto ended = QObject::connect(&w, &ui::Form1::runEnded, &run, &QEventLoop::quit);
    w.cmdStart->click();
    if (w.measuring() != 0) run.exec();
    QObject::disconnect(stop);
    QObject::disconnect(ended);
  }

  // The latest notice that contains `part`, or an empty text.
  QString notice(const QString& part) {
    const QStringList hits = window().Notices().entries().filter(part);
    return hits.isEmpty() ? QString() : hits.last();
  }

  int cycles = 0;  // measurement cycles finished so far

 private:
  QTemporaryDir dir_;
  QString old_;
  std::unique_ptr<Workspace> ws_ = Workspace::Make();
  std::unique_ptr<AcqDriver> driver_;
  std::unique_ptr<ui::Form1> window_;
};

}  // namespace velquor::testing
