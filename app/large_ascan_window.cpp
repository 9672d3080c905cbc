#include "app/large_ascan_window.h"

#include <algorithm>

#include <QCloseEvent>
#include <QEvent>
#include <QPainter>

#include "qtdraw/qt_canvas.h"
#include "display/frame_image.h"
#include "session/viewer_session.h"

namespace sonalyt::app {
namespace {

// The smallest frame picture the window keeps, and the one it opens with
// (twice the main window's 306 x 245).
constexpr QSize kMinimumWaveSize(140, 112);
constexpr QSize kInitialWaveSize(612, 490);

constexpr const char* kTitle = QT_TRANSLATE_NOOP("sonalyt::app::LargeAScanWindow", "大A扫描");

}  // namespace

std::optional<FrameSnapshot> SnapshotOfShownFrame(const session::ViewerSession& session) {
  const std::int32_t k = session.LastDrawnFrame();
  if (k < 0 || k >= session.FramesInRecord()) return std::nullopt;
  FrameSnapshot shot;
  const auto frame = session.File().Frame(k);
  std::copy_n(frame.begin(), shot.Samples.size(), shot.Samples.begin());
  shot.Readings = session.FrameReadings();
  shot.Block = session.ParameterCopy();
  shot.Curves = session.Curves();
  shot.Axis = session.Axis();
  return shot;
}

void DrawLargeAScan(const std::optional<FrameSnapshot>& frame, display::Canvas& wave,
                    display::Canvas& amplitudeScale, display::Canvas& rangeScale) {
  display::DrawAmplitudeScale(amplitudeScale, wave.Height());
  if (!frame) {
    display::DrawEmptyFrame(wave);
    display::DrawEmptyRangeScale(rangeScale);
    return;
  }
  // The picture recomputes the curve state it draws; the snapshot stays as
  // it was for the next size.
  display::CurveState curves = frame->Curves;
  display::DrawFrame(wave, frame->Samples, frame->Readings, frame->Block, curves);
  display::DrawRangeScale(rangeScale, frame->Axis);
}

LargeAScanWindow::LargeAScanWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("LargeAScanWindow"));
  setWindowTitle(tr(kTitle));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(kMinimumWaveSize + QSize(kAmplitudeScaleWidth - 1, kRangeScaleHeight - 1));
  resize(kInitialWaveSize + QSize(kAmplitudeScaleWidth - 1, kRangeScaleHeight - 1));
}

QSize LargeAScanWindow::WaveSize() const {
  return (size() - QSize(kAmplitudeScaleWidth - 1, kRangeScaleHeight - 1)).expandedTo(QSize(1, 1));
}

void LargeAScanWindow::ShowFrame(std::optional<FrameSnapshot> frame) {
  frame_ = std::move(frame);
  if (isVisible()) Redraw();
}

void LargeAScanWindow::Redraw() {
  const QSize waveSize = WaveSize();
  qtdraw::QtCanvas wave(waveSize.width(), waveSize.height());
  qtdraw::QtCanvas amplitude(kAmplitudeScaleWidth, waveSize.height() + kRangeScaleHeight - 1);
  qtdraw::QtCanvas range(waveSize.width(), kRangeScaleHeight);
  DrawLargeAScan(frame_, wave, amplitude, range);
  wave_ = wave.TakeImage();
  amplitude_ = amplitude.TakeImage();
  range_ = range.TakeImage();
  update();
}

void LargeAScanWindow::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  // Placed as in the main window's panel: the scale, then the picture one
  // pixel over it, then the range strip over the picture's last row.
  painter.drawImage(0, 0, amplitude_);
  painter.drawImage(kAmplitudeScaleWidth - 1, 0, wave_);
  painter.drawImage(kAmplitudeScaleWidth - 1, wave_.height() - 1, range_);
}

void LargeAScanWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (isVisible()) Redraw();
}

void LargeAScanWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Redraw();
}

void LargeAScanWindow::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  emit Closed();
}

void LargeAScanWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::LanguageChange) setWindowTitle(tr(kTitle));
}

}  // namespace sonalyt::app
