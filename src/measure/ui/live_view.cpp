#include "measure/ui/live_view.h"

#include <QLabel>
#include <QProgressBar>
#include <algorithm>

#include "analysis/kinematics.h"
#include "measure/ui/lamp.h"
#include "plot/live_trace.h"

namespace velquor::ui {

LiveView::LiveView(MeasurementSession& session, const Workspace& ws,
                   const SessionSettings& settings, Lamp& lamp, QProgressBar& bar, QLabel& count,
                   PlotFrame& torque, QObject* parent)
    : QObject(parent),
      session_(session),
      ws_(ws),
      settings_(settings),
      lamp_(lamp),
      bar_(bar),
      count_(count),
      torque_(torque),
      trace_(std::make_unique<Grid<float, 2, kSampleSlots>>()) {
  timer_.setInterval(40);
  connect(&timer_, &QTimer::timeout, this, &LiveView::Look);
}

void LiveView::BuildCount(FormSurface& s, int left, int top, int width, QProgressBar*& bar,
                          QLabel*& count) {
  bar = new QProgressBar(&s);
  bar->setObjectName("progressSamples");
  // The count stands in its own label: drawn on the bar, the fill may hide it.
  bar->setTextVisible(false);
  bar->setRange(0, 100);
  bar->setValue(0);
  s.Place(bar, left, top + 330, width, 270);
  count = s.Label(&s, QString(), left, top, width, 300);
  count->setObjectName("lblSamples");
  count->setAlignment(Qt::AlignCenter);
}

void LiveView::Begin() {
  cycle_ = 0;
  done_ = 0;
  behind_ = 0;
  markers_.clear();
  ShowCount(session_.SampleNo());
  timer_.start();
}

void LiveView::End(int taken) {
  timer_.stop();
  lamp_.SetColour(kLampRed);
  ShowCount(taken);
}

void LiveView::ShowCount(int taken) {
  const int total = std::clamp(static_cast<int>(ws_.record.DataNum), 1, kMaxSamples);
  const int shown = std::clamp(taken, 0, total);
  bar_.setMaximum(total);
  bar_.setValue(shown);
  count_.setText(QString("%1 / %2 samples").arg(shown).arg(total));
}

int LiveView::Shown() const {
  return bar_.value();
}

std::optional<MonitorForm::RunSample> LiveView::LatestSample() const {
  // Only samples up to the count are read; see Look.
  const SampleBlock* block = session_.Engine().Filling();
  const int n = block != nullptr ? block->count.load(std::memory_order_acquire) : 0;
  if (n < 1) return std::nullopt;
  MonitorForm::RunSample s;
  for (int ch = 0; ch < 2; ++ch) s.volt.at(ch) = block->Volt(ch, n);
  for (int k = 0; k < 3; ++k) s.ports.at(k) = block->PortByte(k, n);
  return s;
}

void LiveView::Look() {
  const AcquisitionEngine& engine = session_.Engine();
  // Yellow when a sample since the last look was taken behind its tick, or the last one was.
  const std::int64_t behind = engine.SamplesBehind();
  if (!ws_.record.StopFlag) {
    const bool late = behind != behind_ || engine.CatchingUp();
    lamp_.SetColour(late ? kLampYellow : kLampGreen);
  }
  behind_ = behind;
  ShowCount(session_.SampleNo());
  session_.PassEngineNotices();
  const SampleBlock* block = engine.Filling();
  if (block == nullptr) return;
  // Only samples 1..count are read, and the block is not reused before the session has
  // given back the one it holds, so nothing read here is being written.
  const int count = block->count.load(std::memory_order_acquire);
  if (block->cycle != cycle_ || count < done_) {
    cycle_ = block->cycle;
    done_ = 0;
  }
  for (int i = done_ + 1; i <= count; ++i) {
    for (int ch = 0; ch < 2; ++ch) {
      (*trace_)(ch, i) =
          CalibratedTorque(ws_.calibration, settings_.analysis.shift, ch, block->Volt(ch, i));
    }
  }
  done_ = count;
  std::vector<int> marked;
  for (const TrialFollower::CyclePlace& m : markers_) {
    if (m.cycle == cycle_) marked.push_back(m.sample);
  }
  DrawLiveTorque(torque_, *trace_, count, ws_.record.SampInterval, ws_.record.MeasTime,
                 ws_.GraphColor, marked);
}

void LiveView::AddMarker(std::int64_t trial_sample) {
  if (const auto place = session_.TrialPlaceOf(trial_sample)) markers_.push_back(*place);
}

}  // namespace velquor::ui
