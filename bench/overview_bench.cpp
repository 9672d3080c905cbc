// The overview's redraw on a long recording, on the offscreen platform: the
// panel of the main window's default size shows the whole pass's results and
// is painted after a change of view, as the wheel, a drag or the scroll bar
// makes it, and after a move of the cursor alone (playback).
//
//   bench_overview [benchmark flags] --recording=FILE.dat
//
// Setup runs the panel's own pass over the recording and waits for it (and
// for the settings along the recording). Each iteration sets a random view
// and paints the whole panel into an image: the rebuild of the cached
// picture (gate strip, B-scan, marks) and the overlays. The times of the
// single iterations are reported as median, 99th percentile and maximum in
// milliseconds.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <QApplication>
#include <QImage>
#include <QStringList>

#include "analysis/overview_layout.h"
#include "analysis/recording_analysis.h"
#include "app/overview_panel.h"
#include "recording/recording_file.h"

namespace {

using sonalyt::analysis::OverviewAxis;
using sonalyt::analysis::OverviewView;
using sonalyt::app::OverviewPanel;
using Clock = std::chrono::steady_clock;

// The overview's size in the 800 x 600 main window.
constexpr int kPanelWidth = 786;
constexpr int kPanelHeight = 130;

std::string recordingPath;

class IterationTimes {
 public:
  void Add(Clock::duration d) { ms_.push_back(std::chrono::duration<double, std::milli>(d).count()); }
  void Report(benchmark::State& state) {
    if (ms_.empty()) return;
    std::sort(ms_.begin(), ms_.end());
    state.counters["median_ms"] = ms_[ms_.size() / 2];
    state.counters["p99_ms"] = ms_[ms_.size() * 99 / 100];
    state.counters["max_ms"] = ms_.back();
  }

 private:
  std::vector<double> ms_;
};

// The panel with the recording analysed, as some seconds after opening.
OverviewPanel* AnalysedPanel(benchmark::State& state) {
  static OverviewPanel* panel = nullptr;
  if (panel != nullptr) return panel;
  sonalyt::recording::RecordingFile file;
  std::string error;
  if (!file.OpenRecording(recordingPath, &error)) {
    state.SkipWithError(("cannot open the recording: " + error).c_str());
    return nullptr;
  }
  panel = new OverviewPanel;
  panel->resize(kPanelWidth, kPanelHeight);
  QStringList notes;
  for (std::size_t i = 0; i < file.NoteRecords().size(); ++i) notes << QStringLiteral("note");
  sonalyt::recording::ParameterBlock copy{};
  file.LoadRecord(0, copy);
  panel->StartPass(recordingPath, sonalyt::analysis::LayoutOf(file), file.FramesInRecord(), notes);
  while (panel->PassRunning() || !panel->SettingsComplete()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  QCoreApplication::processEvents();
  return panel;
}

// Paints the whole panel as a screen update does.
void Paint(OverviewPanel& panel, QImage& target) {
  panel.render(&target);
  benchmark::DoNotOptimize(target.constBits());
}

// Random views whose columns show from `fewest` to `most` slots.
void RedrawRandomViews(benchmark::State& state, double fewestPerColumn, double mostPerColumn) {
  OverviewPanel* panel = AnalysedPanel(state);
  if (panel == nullptr) return;
  const OverviewAxis axis = panel->Axis();
  const int width = panel->PlotRect().width();
  std::mt19937 random(4711);
  std::uniform_real_distribution<double> perColumn(fewestPerColumn, mostPerColumn);
  std::uniform_real_distribution<double> at(0.0, 1.0);
  QImage target(panel->size(), QImage::Format_RGB32);
  IterationTimes times;
  for (auto _ : state) {
    const auto count = static_cast<std::int64_t>(perColumn(random) * width);
    const auto first = static_cast<std::int64_t>(at(random) * static_cast<double>(axis.Slots()));
    const auto start = Clock::now();
    panel->SetView({first, count});
    Paint(*panel, target);
    times.Add(Clock::now() - start);
  }
  state.counters["records"] = axis.Records;
  times.Report(state);
}

// Zoomed out: a record or more per column, up to the whole recording.
void BM_OverviewRedrawRecords(benchmark::State& state) {
  OverviewPanel* panel = AnalysedPanel(state);
  if (panel == nullptr) return;
  const OverviewAxis axis = panel->Axis();
  const double most = static_cast<double>(axis.Slots()) / panel->PlotRect().width();
  RedrawRandomViews(state, axis.SlotsPerRecord, std::max<double>(axis.SlotsPerRecord, most));
}

// Zoomed in, anywhere in the recording: frames decoded on demand within the
// rebuild's budget (mostly not decoded before).
void BM_OverviewRedrawFrames(benchmark::State& state) {
  OverviewPanel* panel = AnalysedPanel(state);
  if (panel == nullptr) return;
  RedrawRandomViews(state, 1.0, panel->Axis().SlotsPerRecord - 0.01);
}

// The whole recording, again and again (the cached picture rebuilt each time).
void BM_OverviewRedrawWhole(benchmark::State& state) {
  OverviewPanel* panel = AnalysedPanel(state);
  if (panel == nullptr) return;
  QImage target(panel->size(), QImage::Format_RGB32);
  IterationTimes times;
  for (auto _ : state) {
    const auto start = Clock::now();
    panel->ShowWholeRecording();
    panel->RebuildNow();
    Paint(*panel, target);
    times.Add(Clock::now() - start);
  }
  times.Report(state);
}

// Playback: only the cursor moves; the cached picture is reused.
void BM_OverviewCursorMove(benchmark::State& state) {
  OverviewPanel* panel = AnalysedPanel(state);
  if (panel == nullptr) return;
  panel->ShowWholeRecording();
  QImage target(panel->size(), QImage::Format_RGB32);
  Paint(*panel, target);
  IterationTimes times;
  std::int32_t record = 0;
  for (auto _ : state) {
    record = (record + 1) % std::max(panel->Axis().Records, 1);
    const auto start = Clock::now();
    panel->SetCursorFrame(record, 0);
    Paint(*panel, target);
    times.Add(Clock::now() - start);
  }
  times.Report(state);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  benchmark::Initialize(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--recording=", 12) == 0) {
      recordingPath = argv[i] + 12;
    } else {
      std::fprintf(stderr, "bench_overview: unknown argument %s\n", argv[i]);
      return 1;
    }
  }
  if (recordingPath.empty()) {
    std::fprintf(stderr, "usage: bench_overview [benchmark flags] --recording=FILE.dat\n");
    return 1;
  }
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  for (auto* b : {benchmark::RegisterBenchmark("BM_OverviewRedrawWhole", BM_OverviewRedrawWhole),
                  benchmark::RegisterBenchmark("BM_OverviewRedrawRecords", BM_OverviewRedrawRecords),
                  benchmark::RegisterBenchmark("BM_OverviewRedrawFrames", BM_OverviewRedrawFrames),
                  benchmark::RegisterBenchmark("BM_OverviewCursorMove", BM_OverviewCursorMove)}) {
    b->Unit(benchmark::kMillisecond)->UseRealTime();
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
