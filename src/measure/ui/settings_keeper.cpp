#include "measure/ui/settings_keeper.h"

#include <QCheckBox>
#include <QLineEdit>
#include <utility>

#include "analysis/ui/calc_results.h"
#include "analysis/ui/feedback_screen.h"
#include "analysis/ui/pushes_screen.h"
#include "calibration/fit_review.h"
#include "calibration/ui/calibration_screen.h"
#include "common/number_parse.h"
#include "common/text_file.h"
#include "files/calibration_file.h"
#include "files/pair_files.h"
#include "files/set_aside.h"
#include "files/settings_file.h"
#include "files/ui/file_option.h"
#include "measure/ui/screen_placer.h"
#include "ui_kit/form_kit.h"

namespace velquor::ui {
namespace {

QString Describe(const Problem& p) {
  return ToQ(p.Describe());
}

}  // namespace

SettingsKeeper::SettingsKeeper(Workspace& ws, SessionSettings& settings, Screens screens,
                               NoticeFn notice)
    : ws_(ws), settings_(settings), screens_(screens), notice_(std::move(notice)) {
  // The session reads the settings object; the boxes and screens keep it as they change.
  settings_.autoSave = screens.autoSave.isChecked();
  settings_.manualSave = screens.manualSave.isChecked();
  settings_.analysis = {screens.shift.isChecked(), screens.calcResults.ReadConditions(),
                        screens.pushes.Parameters()};
  QObject* ctx = &screens.calcResults;
  QObject::connect(&screens.autoSave, &QCheckBox::toggled, ctx,
                   [this](bool on) { settings_.autoSave = on; });
  QObject::connect(&screens.manualSave, &QCheckBox::toggled, ctx,
                   [this](bool on) { settings_.manualSave = on; });
  QObject::connect(&screens.shift, &QCheckBox::toggled, ctx,
                   [this](bool on) { settings_.analysis.shift = on; });
  QObject::connect(&screens.calcResults, &Form7::conditionsChanged, ctx,
                   [this] { settings_.analysis.strokes = screens_.calcResults.ReadConditions(); });
  QObject::connect(&screens.pushes, &Form8::applied, ctx,
                   [this] { settings_.analysis.pushes = screens_.pushes.Parameters(); });
}

void SettingsKeeper::LoadAtStartUp() {
  for (const Problem& p : RemoveLeftoverTemps(".")) notice_(Describe(p));
  LoadSettings();
  LoadCalibration();
}

void SettingsKeeper::LoadSettings() {
  SettingsLoad load = velquor::LoadSettings();
  writable_ = KeepUnreadable(load.unreadable, true, load.notices);
  const Settings& s = load.values;
  Form4& f = screens_.fileOption;
  f.txtFileDir_Man->setText(ToQ(s.txtFileDir_Man));
  f.txtFileHead_Man->setText(ToQ(s.txtFileHead_Man));
  f.txtFileOrg_Man->setText(ToQ(s.txtFileOrg_Man));
  f.txtFileDir->setText(ToQ(s.txtFileDir));
  f.txtFileHead->setText(ToQ(s.txtFileHead));
  f.txtFileOrg->setText(ToQ(s.txtFileOrg));
  f.MakeFileNames();  // the paths show even when every text kept its design-time value
  screens_.interval.setText(ToQ(s.txtTimerInterval));
  screens_.count.setText(ToQ(s.txtDataNum));
  screens_.time.setText(ToQ(s.txtSampTime));
  screens_.trialLength.setText(ToQ(s.txtTrialLength));
  screens_.calcResults.SetConditionTexts({s.txtStartPosCond, s.txtEndPosCond, s.txtLimitCond});
  screens_.pushes.SetParameters(s.push);
  screens_.feedback.SetSettings(s.feedback);
  screens_.participant.setText(ToQ(s.study.participant));
  screens_.session.setText(ToQ(s.study.session));
  screens_.task.setText(ToQ(s.study.task));
  mdc_ = s.mdc;
  settings_.analysis.pushes = s.push;
  ws_.GraphColor = s.GraphColor;
  screens_.placer.Remember(s.screens);
  for (const Problem& p : load.notices) notice_(Describe(p));
  // Pairs that a program stopped in the middle of a save left unfinished.
  for (const Problem& p : RecoverSaveDirectories(s.txtFileDir, s.txtFileDir_Man)) {
    notice_(Describe(p));
  }
}

std::optional<double> TrialLengthOf(const QLineEdit& box) {
  const std::string text = FromQ(box.text());
  if (text.find_first_not_of(' ') == std::string::npos) return 0.0;
  const std::optional<double> s = ParseComplete(text);
  if (!s || !(*s >= 0) || *s > 1e7) return std::nullopt;
  return s;
}

std::string TrialLengthText(const QLineEdit& box) {
  return TrialLengthOf(box).value_or(0) > 0 ? FromQ(box.text()) : std::string();
}

void SettingsKeeper::SaveSettings(bool at_exit) {
  if (!writable_) {
    if (at_exit)
      notice_(QString("The settings were not written: ") + kSettingsFileName +
              " could not be read at start-up and was left in place");
    return;
  }
  // File Option keeps the naming sets as its boxes read; the push parameters are the ones
  // in force.
  const NamingSet& a = ws_.naming.Auto;
  const NamingSet& m = ws_.naming.Manual;
  const auto [start, end, limit] = screens_.calcResults.ConditionTexts();
  const Settings s{.txtFileDir_Man = m.Dir,
                   .txtFileHead_Man = m.Head,
                   .txtFileOrg_Man = m.Org,
                   .txtFileDir = a.Dir,
                   .txtFileHead = a.Head,
                   .txtFileOrg = a.Org,
                   .txtTimerInterval = FromQ(screens_.interval.text()),
                   .txtDataNum = FromQ(screens_.count.text()),
                   .txtSampTime = FromQ(screens_.time.text()),
                   .txtStartPosCond = start,
                   .txtEndPosCond = end,
                   .txtLimitCond = limit,
                   .GraphColor = ws_.GraphColor,
                   .push = settings_.analysis.pushes.value_or(PushParameters{}),
                   .screens = screens_.placer.Places(),
                   .txtTrialLength = TrialLengthText(screens_.trialLength),
                   .feedback = screens_.feedback.Settings(),
                   .study = {FromQ(screens_.participant.text()), FromQ(screens_.session.text()),
                             FromQ(screens_.task.text())},
                   .mdc = mdc_};
  const auto saved = velquor::SaveSettings(s);
  if (!saved.ok()) {
    const QString text = "The settings were not written: " + Describe(saved.problem());
    notice_(text);
    // The window is closing; the terminal is the one place the operator may still read it.
    if (at_exit) qWarning("%s", qPrintable(text));
    return;
  }
  if (!at_exit) return;
  for (const Problem& p : saved.value()) notice_(Describe(p));
}

void SettingsKeeper::LoadCalibration() {
  CalibrationLoad load = velquor::LoadCalibration();
  // A fit writes the file; one that could not be read is kept aside first, or else left alone.
  if (!KeepUnreadable(load.unreadable, true, load.notices)) {
    screens_.calibration.KeepWorkingFile(Describe(load.notices.back()));
  }
  ws_.calibration = std::move(load.values);
  screens_.calibration.ShowCalibrationRows();
  screens_.calibration.ShowInForce();
  for (const Problem& p : load.notices) notice_(Describe(p));
  if (!ws_.calibration.loaded) {
    notice_(QString("No calibration loaded: torques are computed with Ka1 = 0 and Ka0 = 0 until "
                    "a calibration is made on the Calibration screen (it is then kept in ") +
            kCalibrationFileName + ")");
  } else {
    notice_("Calibration in force: " + ToQ(InForceText(ws_.calibration)));
  }
}

}  // namespace velquor::ui
