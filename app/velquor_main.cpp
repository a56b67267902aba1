// The desktop program: the main window on the acquisition backend named on the command line.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "analysis/ui/calc_results.h"
#include "analysis/ui/feedback_screen.h"
#include "analysis/ui/pushes_screen.h"
#include "app/guarded_application.h"
#include "backend/driver_choice.h"
#include "calibration/ui/calibration_screen.h"
#include "daq/ui/card_setting.h"
#include "daq/ui/text_screen.h"
#include "files/ui/data_view.h"
#include "files/ui/file_option.h"
#include "measure/ui/main_window.h"
#include "measure/ui/notice_log.h"
#include "ui_kit/form_kit.h"
#include "velquor_version.h"
#include "workspace/workspace.h"

namespace {

struct Options {
  bool help = false;
  bool version = false;
  std::string daq{velquor::kDefaultDriverChoice};
  std::optional<std::string> screenshotDir;  // run one measurement, picture the windows, end
  std::string error;
};

// Our options begin with "--"; the toolkit's own (-platform, -style, ...) are left to it.
Options ParseOptions(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    auto value = [&](std::string_view name) -> std::optional<std::string> {
      if (arg == name) {
        if (i + 1 >= argc) {
          o.error = std::string(name) + " needs a value";
          return std::nullopt;
        }
        return std::string(argv[++i]);
      }
      if (arg.size() > name.size() && arg.substr(0, name.size()) == name &&
          arg[name.size()] == '=') {
        return std::string(arg.substr(name.size() + 1));
      }
      return std::nullopt;
    };
    if (arg == "--help" || arg == "-h") {
      o.help = true;
    } else if (arg == "--version") {
      o.version = true;
    } else if (auto daq = value("--daq")) {
      o.daq = *daq;
    } else if (auto dir = value("--screenshot")) {
      o.screenshotDir = *dir;
    } else if (!o.error.empty()) {
      break;
    } else if (arg.substr(0, 2) == "--") {
      o.error = "unknown option " + std::string(arg) + " (see --help)";
    }
    if (!o.error.empty()) break;
  }
  return o;
}

void PrintHelp() {
  std::printf(
      "Usage: velquor [--daq BACKEND] [--screenshot DIR] [--help] [--version]\n"
      "Measures how a manual wheelchair is propelled on the test rig.\n\n"
      "  --daq BACKEND     where the samples come from (default: sim)\n"
      "  --screenshot DIR  take one measurement, save a picture of every window into DIR,\n"
      "                    and end\n"
      "  --help            show this text\n"
      "  --version         show the program's version\n\n"
      "%s\n"
      "Velquor.ini and Velquor.clb are read from and written to the current directory.\n",
      velquor::DriverChoiceHelp().c_str());
}

// Runs one measurement cycle (saved, when the settings name an Auto Save directory), reads
// the devices once on the monitor screens, then pictures the main window and every screen
// into `dir` and ends the program.
void ScheduleScreenshots(velquor::ui::Form1& window, const QString& dir) {
  // The main window fills the virtual desktop, as a maximised window fills a real one.
  window.setGeometry(window.screen()->availableGeometry());
  QObject::connect(&window, &velquor::ui::Form1::cycleFinished, &window,
                   [&window] { window.StopAction(); });
  QTimer::singleShot(300, &window, [&window] {
    window.chkAutoDataSave->setChecked(!window.FileOption().txtFileDir->text().isEmpty());
    window.StartAction();
  });
  QObject::connect(&window, &velquor::ui::Form1::runEnded, &window, [&window, dir] {
    window.TextScreen().MonitorRead();
    window.Calibration().LiveRead();
    const std::pair<QWidget*, const char*> screens[] = {
        {&window.CalcResults(), "calculated_results"},
        {&window.CardSetting(), "card_setting"},
        {&window.TextScreen(), "text_screen"},
        {&window.FileOption(), "file_option"},
        {&window.Calibration(), "calibration"},
        {&window.DataView(), "data_view"},
        {&window.Pushes(), "pushes"},
        {&window.Feedback(), "feedback"}};
    for (const auto& screen : screens) velquor::ui::ShowScreen(screen.first);
    window.DataView().File1->setCurrentItem(window.DataView().File1->topLevelItem(0));
    QApplication::processEvents();
    QDir().mkpath(dir);
    bool ok = window.grab().save(dir + "/main_window.png");
    for (const auto& [screen, name] : screens) {
      ok = screen->grab().save(dir + "/" + name + ".png") && ok;
    }
    if (!ok)
      std::fprintf(stderr, "velquor: the pictures could not be written to %s\n", qPrintable(dir));
    QCoreApplication::exit(ok ? 0 : 1);
  });
}

}  // namespace

int main(int argc, char** argv) {
  const Options o = ParseOptions(argc, argv);
  if (!o.error.empty()) {
    std::fprintf(stderr, "velquor: %s\n", o.error.c_str());
    return 2;
  }
  if (o.help) {
    PrintHelp();
    return 0;
  }
  if (o.version) {
    std::printf("velquor %s\n", VELQUOR_VERSION);
    return 0;
  }
  auto driver = velquor::ChooseDriver(o.daq);
  if (!driver.ok()) {
    std::fprintf(stderr, "velquor: %s\n", driver.problem().Describe().c_str());
    return 2;
  }

  velquor::ui::GuardedApplication app(argc, argv);
  auto ws = velquor::Workspace::Make();
  velquor::ui::Form1 window(*ws, *driver.value(), velquor::ui::ToQ(driver.value()->Describe()));
  app.SetReporter([&window](const QString& text) { window.Notices().Add(text); });
  window.StartUp();
  window.ShowFitted();
  if (o.screenshotDir) ScheduleScreenshots(window, QString::fromStdString(*o.screenshotDir));
  return QApplication::exec();
}
