// A resizable window that shows the frame on screen at any size: the same
// drawing as the main window's A-scan picture, at the window's size, with
// its amplitude and range scales arranged as in the main window's panel.
// It is redrawn with every frame the main window shows.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include <QImage>
#include <QSize>
#include <QWidget>

#include "display/canvas.h"
#include "display/picture_sizes.h"
#include "display/reference_curve.h"
#include "display/settings_panel.h"
#include "recording/parameter_block.h"
#include "recording/record_format.h"
#include "recording/record_layout.h"

namespace sonalyt::session {
class ViewerSession;
}

namespace sonalyt::app {

// Everything the picture of one frame is drawn from, copied when the main
// window shows it.
struct FrameSnapshot {
  std::array<std::uint8_t, recording::kFrameColumns> Samples{};
  recording::FrameReadings Readings{};
  recording::ParameterBlock Block{};
  display::CurveState Curves{};
  display::RangeAxis Axis{};
};

// The frame the session drew last, or nothing before its first frame.
std::optional<FrameSnapshot> SnapshotOfShownFrame(const session::ViewerSession& session);

// The widths of the amplitude scale and the height of the range scale
// beside a picture, in pixels, as in the main window's panel (each overlaps
// the picture by one pixel).
inline constexpr int kAmplitudeScaleWidth = display::kAmplitudeScalePicture.Width;
inline constexpr int kRangeScaleHeight = display::kRangeScalePicture.Height;

// Draws the three pictures for a frame picture of wave's size: the frame
// (or the empty screen without one), the amplitude scale for that height and
// the range scale (empty without a frame).
void DrawLargeAScan(const std::optional<FrameSnapshot>& frame, display::Canvas& wave,
                    display::Canvas& amplitudeScale, display::Canvas& rangeScale);

class LargeAScanWindow : public QWidget {
  Q_OBJECT
 public:
  explicit LargeAScanWindow(QWidget* parent = nullptr);

  // The frame to show from now on; nullopt shows the empty screen.
  void ShowFrame(std::optional<FrameSnapshot> frame);

  // The size of the frame picture for the window's present size.
  QSize WaveSize() const;
  // The three pictures as last drawn.
  const QImage& WaveImage() const { return wave_; }
  const QImage& AmplitudeImage() const { return amplitude_; }
  const QImage& RangeImage() const { return range_; }

 signals:
  void Closed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void Redraw();

  std::optional<FrameSnapshot> frame_;
  QImage wave_;
  QImage amplitude_;
  QImage range_;
};

}  // namespace sonalyt::app
