// Speed of the graphs: drawing the seven result graphs of a full record into recording
// canvases, and painting them at their on-screen size as the plotting areas do.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <array>
#include <cmath>
#include <memory>

#include "analysis/series.h"
#include "plot/frame_geometry.h"
#include "plot/main_graphs.h"
#include "plot/ui/command_painter.h"
#include "plot/ui/frame_picture.h"
#include "record/record.h"

namespace velquor {
namespace {

constexpr std::array<Rgb, 3> kColours = {MakeRgb(255, 0, 0), MakeRgb(0, 0, 255),
                                         MakeRgb(255, 0, 255)};

// A 2000-sample record of a chair pushed about once a second and turning slowly.
struct Record {
  MeasurementRecord rec;
  DerivedSeries s;
  KinematicsResults kin;

  Record() {
    rec.SampInterval = 10;
    rec.DataNum = kMaxSamples;
    rec.MeasTime = 20;
    double x = 0, y = 0;
    for (int i = 1; i <= kMaxSamples; ++i) {
      const double t = i * 0.01;
      for (int ch = 0; ch < 2; ++ch) {
        const double push = std::sin(2 * 3.14159 * (t + 0.05 * ch));
        s.Torque(ch, i) = static_cast<float>(std::max(0.0, 30 * push) - 1.5);
        s.Speed(ch, i) = static_cast<float>(1.0 + 0.3 * push);
        s.Distance(ch, i) = static_cast<float>(1.0 * t + 0.01 * ch * t);
        s.Power(ch, i) = s.Torque(ch, i) * s.Speed(ch, i) * 3;
      }
      s.Alpha_deg(i) = 0.02 * i;
      s.Beta_deg(i) = static_cast<float>(2 + 5 * std::sin(t));
      x += 0.01 * std::cos(s.Alpha_deg(i) * 3.14159 / 180);
      y += 0.01 * std::sin(s.Alpha_deg(i) * 3.14159 / 180);
      s.x(i) = x;
      s.y(i) = static_cast<float>(y);
    }
    kin.TqMax = {28.5f, 28.5f};
    kin.TqMin = {-1.5f, -1.5f};
    kin.SpeedMax = {1.3f, 1.3f};
    kin.PowerMax = {110, 110};
    kin.PowerMin = {-6, -6};
    kin.DistAvMax = 20.1f;
    kin.AlphaMax = 40;
    kin.BetaMax = 7;
    kin.BetaMin = -3;
    kin.xMax = x;
    kin.yMax = static_cast<float>(y);
  }
};

struct Frames {
  std::array<RecordingFrame, kMainGraphCount> f;
  std::array<PlotFrame*, kMainGraphCount> Pointers() {
    std::array<PlotFrame*, kMainGraphCount> p{};
    for (std::size_t g = 0; g < p.size(); ++g) p[g] = &f[g].frame;
    return p;
  }
};

void BM_DrawMainGraphs(benchmark::State& state) {
  const auto r = std::make_unique<Record>();
  Frames frames;
  const auto pointers = frames.Pointers();
  for (auto _ : state) {
    DrawMainGraphs(pointers, r->rec, r->s, r->kin, kColours);
    benchmark::DoNotOptimize(frames.f[kPowerGraph].canvas.commands().data());
  }
  state.counters["segments"] = static_cast<double>(7 * 1999 + 4 * 1999 - 1);
}
BENCHMARK(BM_DrawMainGraphs)->Unit(benchmark::kMicrosecond);

// The plotting areas of the main window at design size, as their paint events draw them.
void BM_PaintMainWindowAreas(benchmark::State& state) {
  const auto r = std::make_unique<Record>();
  Frames frames;
  DrawMainGraphs(frames.Pointers(), r->rec, r->s, r->kin, kColours);
  QImage image(14055 / kTwipsPerPixel, 8655 / kTwipsPerPixel, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter p(&image);
    for (std::size_t g = 0; g < frames.f.size(); ++g) {
      const FrameLayout layout = LayoutFrame(kForm1Frames.at(g), 1, 1);
      const PixelRect base = ToPixels(kForm1Frames.at(g).base, 1, 1);
      const QRectF area(base.x + layout.fig.x, base.y + layout.fig.y, layout.fig.w, layout.fig.h);
      PaintCommands(p, area, frames.f[g].canvas, Qt::white);
    }
    p.end();
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_PaintMainWindowAreas)->Unit(benchmark::kMillisecond);

// Whole frames (texts and legend too), as the picture export draws them, at design size.
void BM_RenderMainWindowFrames(benchmark::State& state) {
  const auto r = std::make_unique<Record>();
  Frames frames;
  DrawMainGraphs(frames.Pointers(), r->rec, r->s, r->kin, kColours);
  for (auto _ : state) {
    for (std::size_t g = 0; g < frames.f.size(); ++g) {
      const QImage img =
          RenderFrame(frames.f[g].frame, frames.f[g].canvas, kForm1Frames.at(g), 1.0);
      benchmark::DoNotOptimize(img.constBits());
    }
  }
}
BENCHMARK(BM_RenderMainWindowFrames)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velquor

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
