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
#include <QtTest>
#include <memory>
#include <string>

#include "common/workspace.h"
#include "daq/sim_rig.h"
#include "daq/ui/form_kit.h"
#include "measure/ui/main_window.h"
#include "measure/ui/notice_log.h"
#include "plot/ui/picture_base.h"

namespace velquor::testing {

class Program {
 public:
  explicit Program(std::unique_ptr<AcqDriver> driver = std::make_unique<SimRig>(7))
      : old_(QDir::currentPath()), driver_(std::move(driver)) {
    QDir::setCurrent(dir_.path());
  }
  ~Program() {
    window_.reset();
    QDir::setCurrent(old_);
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // The window as loading it leaves it; `start_up` false stops before the start-up sequence.
  ui::Form1& window(bool start_up = true) {
    if (!window_) {
      window_ = std::make_unique<ui::Form1>(*ws_, *driver_, "test rig");
      if (start_up) window_->StartUp();
    }
    return *window_;
  }
  Workspace& ws() { return *ws_; }
  AcqDriver& driver() { return *driver_; }
  QString path(const QString& name) const { return dir_.filePath(name); }
  // A directory as the File Option boxes hold it, "\" between the parts.
  QString stored(const QString& name) const { return QString(path(name)).replace('/', '\\'); }

  template <class T>
  T* find(QWidget* in, const QString& name) {
    T* w = in->findChild<T*>(name);
    if (!w) qWarning("no control %s", qPrintable(name));
    return w;
  }
  QString text(QWidget* in, const QString& name) {
    auto* box = find<QLineEdit>(in, name);
    return box ? box->text() : QString("<missing %1>").arg(name);
  }
  // The latest notice that contains `part`, or an empty text.
  QString notice(const QString& part) {
    const QStringList& all = window().Notices().entries();
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
      if (it->contains(part)) return *it;
    }
    return {};
  }

 private:
  QTemporaryDir dir_;
  QString old_;
  std::unique_ptr<Workspace> ws_ = Workspace::Make();
  std::unique_ptr<AcqDriver> driver_;
  std::unique_ptr<ui::Form1> window_;
};

}  // namespace velquor::testing
