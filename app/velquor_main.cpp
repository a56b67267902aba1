// The desktop program: the main window on the chosen acquisition backend.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.setWindowTitle("Velquor10 - simulated rig");
  window.setCentralWidget(new QLabel("Velquor"));  // parent takes ownership
  window.show();
  return QApplication::exec();
}
