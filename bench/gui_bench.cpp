// User-interface work through the Qt canvas, on the offscreen platform:
// a random jump (what a track-bar move does), one playback step, the report
// window's showing and the PDF export.
//
//   bench_gui [benchmark flags] --recording=FILE.dat
//
// Jump and playback keep the time of every single iteration and report its
// median, 99th percentile and maximum in microseconds as counters, and the
// share of the playback interval the mean and the slowest step take.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QTemporaryDir>

#include "display/picture_sizes.h"
#include "qtdraw/qt_canvas.h"
#include "report/report_export.h"
#include "report/report_page.h"
#include "report/report_texts.h"
#include "session/viewer_session.h"

namespace {

using sonalyt::qtdraw::QtCanvas;
using sonalyt::session::ViewerSession;
using Clock = std::chrono::steady_clock;

// The size of WaveImage in the main window.
constexpr int kWaveWidth = sonalyt::display::kWavePicture.Width;
constexpr int kWaveHeight = sonalyt::display::kWavePicture.Height;

std::string recordingPath;

// Per-iteration times in microseconds.
class IterationTimes {
 public:
  explicit IterationTimes(std::size_t reserve) { us_.reserve(reserve); }
  void Add(Clock::duration d) {
    us_.push_back(std::chrono::duration<double, std::micro>(d).count());
  }
  void Report(benchmark::State& state) {
    if (us_.empty()) return;
    std::sort(us_.begin(), us_.end());
    state.counters["median_us"] = us_[us_.size() / 2];
    state.counters["p99_us"] = us_[us_.size() * 99 / 100];
    state.counters["max_us"] = us_.back();
  }
  double Max() const { return us_.empty() ? 0.0 : *std::max_element(us_.begin(), us_.end()); }
  double Mean() const {
    double sum = 0;
    for (double t : us_) sum += t;
    return us_.empty() ? 0.0 : sum / static_cast<double>(us_.size());
  }

 private:
  std::vector<double> us_;
};

// A session with the recording open and its first frame shown, as after
// File, Open.
bool OpenShown(ViewerSession& session, benchmark::State& state) {
  if (!session.OpenRecording(recordingPath)) {
    state.SkipWithError("cannot open the recording");
    return false;
  }
  QtCanvas wave(kWaveWidth, kWaveHeight);
  session.PlaybackStep(wave);
  return true;
}

// Hands the finished picture to the control, as WaveImage does.
void Show(QtCanvas& canvas) {
  const QPixmap pixmap = QPixmap::fromImage(canvas.TakeImage());
  benchmark::DoNotOptimize(pixmap.cacheKey());
}

void BM_RandomJump(benchmark::State& state) {
  ViewerSession session;
  if (!OpenShown(session, state)) return;
  std::mt19937 random(12345);
  // The track bar reaches records 0 .. RecordCount - 2.
  std::uniform_int_distribution<std::int32_t> pick(0, session.RecordCount() - 2);
  IterationTimes times(1 << 16);
  for (auto _ : state) {
    const std::int32_t record = pick(random);
    const auto start = Clock::now();
    QtCanvas wave(kWaveWidth, kWaveHeight);
    session.JumpTo(record, 0, wave);
    Show(wave);
    times.Add(Clock::now() - start);
  }
  times.Report(state);
}

void BM_PlaybackStep(benchmark::State& state) {
  ViewerSession session;
  if (!OpenShown(session, state)) return;
  IterationTimes times(1 << 18);
  double intervalMs = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    if (session.AtEnd()) session.Rewind();
    QtCanvas wave(kWaveWidth, kWaveHeight);
    const auto outcome = session.PlaybackStep(wave);
    if (outcome.Drew) Show(wave);
    times.Add(Clock::now() - start);
    intervalMs = session.PlayInterval();
  }
  state.counters["interval_ms"] = intervalMs;
  state.counters["mean_pct_of_interval"] = times.Mean() / 1e3 * 100.0 / intervalMs;
  state.counters["max_pct_of_interval"] = times.Max() / 1e3 * 100.0 / intervalMs;
  times.Report(state);
}

// The report window's FormShow: the page texts, then the three pictures.
void BM_ReportFormShow(benchmark::State& state) {
  ViewerSession session;
  if (!OpenShown(session, state)) return;
  for (auto _ : state) {
    auto texts = sonalyt::report::FillReportTexts(sonalyt::report::SourceTextsFromSession(session));
    auto pictures = sonalyt::report::DrawReportPictures(session);
    benchmark::DoNotOptimize(texts);
    benchmark::DoNotOptimize(pictures);
  }
}

// Painting the whole page at 1:1, what the report window's page shows.
void BM_ReportPagePaint(benchmark::State& state) {
  ViewerSession session;
  if (!OpenShown(session, state)) return;
  const auto texts =
      sonalyt::report::FillReportTexts(sonalyt::report::SourceTextsFromSession(session));
  const auto pictures = sonalyt::report::DrawReportPictures(session);
  for (auto _ : state) {
    QImage page(sonalyt::report::kPageWidth, sonalyt::report::kPageHeight,
                QImage::Format_RGB32);
    page.fill(Qt::white);
    {
      QPainter painter(&page);
      sonalyt::report::PaintReportPage(painter, texts, pictures);
    }
    benchmark::DoNotOptimize(page.constBits());
  }
}

void BM_ReportPdfExport(benchmark::State& state) {
  ViewerSession session;
  if (!OpenShown(session, state)) return;
  QTemporaryDir dir;
  const QString path = QDir(dir.path()).filePath(QStringLiteral("report.pdf"));
  const auto source = sonalyt::report::SourceTextsFromSession(session);
  for (auto _ : state) {
    QString error;
    if (!sonalyt::report::WriteReportFile(session, source, path, &error)) {
      state.SkipWithError(error.toStdString().c_str());
      return;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  benchmark::Initialize(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--recording=", 12) == 0) {
      recordingPath = argv[i] + 12;
    } else {
      std::fprintf(stderr, "bench_gui: unknown argument %s\n", argv[i]);
      return 1;
    }
  }
  if (recordingPath.empty()) {
    std::fprintf(stderr, "usage: bench_gui [benchmark flags] --recording=FILE.dat\n");
    return 1;
  }
  int qtArgc = 1;
  QApplication app(qtArgc, argv);

  for (auto* b : {benchmark::RegisterBenchmark("BM_RandomJump", BM_RandomJump),
                  benchmark::RegisterBenchmark("BM_PlaybackStep", BM_PlaybackStep)}) {
    b->Unit(benchmark::kMicrosecond)->UseRealTime();
  }
  for (auto* b : {benchmark::RegisterBenchmark("BM_ReportFormShow", BM_ReportFormShow),
                  benchmark::RegisterBenchmark("BM_ReportPagePaint", BM_ReportPagePaint),
                  benchmark::RegisterBenchmark("BM_ReportPdfExport", BM_ReportPdfExport)}) {
    b->Unit(benchmark::kMillisecond)->UseRealTime();
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
