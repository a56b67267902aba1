// What the main window shows of a run while it is sampled, looked at 25 times a second: the
// timer lamp, the sample count and the torque trace of the cycle under way.
#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "common/grid.h"
#include "plot/plot_frame.h"
#include "session/measurement_session.h"
#include "ui_kit/form_kit.h"
#include "ui_kit/monitor_form.h"
#include "workspace/workspace.h"

class QLabel;
class QProgressBar;

namespace velquor::ui {

class Lamp;

class LiveView : public QObject {
 public:
  LiveView(MeasurementSession& session, const Workspace& ws, const SessionSettings& settings,
           Lamp& lamp, QProgressBar& bar, QLabel& count, PlotFrame& torque, QObject* parent);

  // The bar and its count label, placed on `s` at `left`, `top` (twips) and `width` wide.
  static void BuildCount(FormSurface& s, int left, int top, int width, QProgressBar*& bar,
                         QLabel*& count);

  // A run has started: the trace starts empty and is looked at until End.
  void Begin();
  // The run has ended with `taken` samples to show in the count.
  void End(int taken);
  // The bar and its count: `taken` samples of the Data Number.
  void ShowCount(int taken);
  int Shown() const;
  // A marker placed at this sample of the trial, drawn on the trace of its cycle.
  void AddMarker(std::int64_t trial_sample);
  // The run's latest sample, for the screens that show the devices live.
  std::optional<MonitorForm::RunSample> LatestSample() const;

 private:
  void Look();

  MeasurementSession& session_;
  const Workspace& ws_;
  const SessionSettings& settings_;
  Lamp& lamp_;
  QProgressBar& bar_;
  QLabel& count_;
  PlotFrame& torque_;
  QTimer timer_;
  std::unique_ptr<Grid<float, 2, kSampleSlots>> trace_;  // torques as they come
  int cycle_ = 0;
  int done_ = 0;
  std::int64_t behind_ = 0;
  std::vector<TrialFollower::CyclePlace> markers_;  // of the run going
};

}  // namespace velquor::ui
