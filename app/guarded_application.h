// The desktop program's application object: an exception that escapes any event handler is
// reported and the event loop goes on, so every measurement in memory is kept.
#pragma once

#include <QApplication>
#include <QString>
#include <exception>
#include <functional>
#include <utility>

namespace velquor::ui {

class GuardedApplication : public QApplication {
 public:
  using QApplication::QApplication;

  // Where an escaped exception is reported (the notice line once the window exists).
  void SetReporter(std::function<void(const QString&)> report) { report_ = std::move(report); }

  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
      Report(QString("An internal error was caught; the measurements in memory are kept: ") +
             e.what());
    } catch (...) {
      Report("An internal error of unknown kind was caught; the measurements in memory are kept");
    }
    return false;
  }

 private:
  void Report(const QString& text) {
    qWarning("%s", qPrintable(text));
    if (report_) report_(text);
  }

  std::function<void(const QString&)> report_;
};

}  // namespace velquor::ui
