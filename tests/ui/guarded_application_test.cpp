#include <gtest/gtest.h>

#include <QEvent>
#include <QTimer>
#include <stdexcept>

#include "app/guarded_application.h"

namespace velquor::ui {
namespace {

// An object whose handler fails the way an unforeseen fault in a screen would.
class Thrower : public QObject {
 public:
  bool event(QEvent* e) override {
    if (e->type() == QEvent::User) throw std::runtime_error("boom");
    return QObject::event(e);
  }
};

TEST(GuardedApplication, ReportsAnEscapedExceptionAndTheLoopGoesOn) {
  int argc = 1;
  char name[] = "velquor";
  char* argv[] = {name, nullptr};
  GuardedApplication app(argc, argv);
  QStringList reported;
  app.SetReporter([&reported](const QString& text) { reported << text; });
  Thrower thrower;
  bool after = false;
  QTimer::singleShot(0, &app, [&] {
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
    QTimer::singleShot(0, &app, [&] {
      after = true;
      QCoreApplication::quit();
    });
  });
  EXPECT_EQ(QCoreApplication::exec(), 0);
  EXPECT_TRUE(after) << "the event loop ended with the exception";
  ASSERT_EQ(reported.size(), 1);
  EXPECT_TRUE(reported[0].contains("boom")) << reported[0].toStdString();
}

}  // namespace
}  // namespace velquor::ui
