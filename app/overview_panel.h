// The overview: the whole recording at a glance below the main window's
// controls, on one horizontal axis (recording time, a record a second):
//  - the gate A strip: per pixel column the largest gate A peak of the frames
//    it covers in percent of full height, red where a frame exceeds the gate's
//    threshold, the gate A level as a line (none where the gate follows the
//    curve); below it a thin band, orange where gate B lost its echo
//    (coupling lost);
//  - the B-scan: x the recording position, y the 280 screen columns (top =
//    left edge of the A-scan), colour the largest amplitude, with its legend;
//  - the operator notes as ticks (their text as tool tip), the records that
//    change a setting as small marks, and a cursor at the frame on screen.
//
// The whole-recording pass starts with StartPass right after a file is opened
// and runs on worker threads; the panel fills in as records complete, with a
// progress bar, and never blocks the user-interface thread for long: it
// paints from a cached picture rebuilt only when the view or the results
// change, and decodes the frames it needs when zoomed in within a small time
// budget per rebuild, refining on the next turns of the event loop.
//
// Mouse and keys: a left click or drag asks for the frame under the pointer
// (FrameJumpRequested; the window runs its jump step); the wheel zooms about
// the pointer down to one pixel column per frame; a right drag or the scroll
// bar pans; a double click, or Home while the panel has the focus, shows the
// whole recording again.
//
// For indication lists: SetIndicationSpans draws spans of frames over the
// strip and the B-scan, SetSelectedIndication makes one stand out, and
// FrameJumpRequested / SetCursorFrame tie the panel to the window's frame on
// screen. The maths lives in analysis/overview_layout.h.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include <QElapsedTimer>
#include <QImage>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include "analysis/overview_layout.h"
#include "analysis/record_reader.h"
#include "analysis/recording_analysis.h"

class QProgressBar;
class QScrollBar;

namespace sonalyt::app {

class OverviewPanel : public QWidget {
  Q_OBJECT
 public:
  explicit OverviewPanel(QWidget* parent = nullptr);
  // Cancels the pass under way.
  ~OverviewPanel() override;

  // Starts the pass over the recording just opened at path (layout: its
  // index and notes, analysis::LayoutOf the open file), cancelling the pass
  // under way, and shows the whole recording. framesPerRecord: the frame
  // count of a record already loaded, the width of a record on the axis until
  // the pass finds a longer one. noteTexts: one text per note, parallel to
  // layout.NoteRecords.
  void StartPass(const std::string& path, analysis::RecordingLayout layout,
                 std::int32_t framesPerRecord, const QStringList& noteTexts);
  // Cancels the pass under way (the window closes); what was analysed stays
  // on screen.
  void CancelPass();
  bool PassRunning() const;
  // Whether the settings along the recording (levels, setting marks) have
  // all been read.
  bool SettingsComplete() const { return timeline_.Complete(); }
  // The results of the pass started last; null before the first.
  std::shared_ptr<const analysis::AnalysisResults> Results() const { return results_; }

  // The frame on screen: the cursor. A negative record hides it.
  void SetCursorFrame(std::int32_t record, std::int32_t frame);
  analysis::FramePosition CursorFrame() const { return cursor_; }

  // Spans of frames drawn over the strip and the B-scan (say, indications),
  // and the one that stands out (an index into spans, -1 for none). Cleared
  // by StartPass.
  void SetIndicationSpans(std::vector<analysis::FrameSpan> spans);
  void SetSelectedIndication(int index);

  // The view: the slots shown, on the axis of the open recording.
  analysis::OverviewAxis Axis() const { return axis_; }
  analysis::OverviewView View() const { return view_; }
  // Sets the view (made valid for the plot's width).
  void SetView(const analysis::OverviewView& view);
  void ShowWholeRecording();
  // Zooms by factor about pixel column x of the plot (above 1 zooms in).
  void ZoomAbout(std::int64_t x, double factor);
  // Where the gate strip and the B-scan are drawn, in panel coordinates;
  // plot column x is panel x PlotRect().left() + x.
  QRect PlotRect() const;
  // The frame a click at panel position x shows.
  analysis::FramePosition FrameAtX(int x) const;

  // Keeps the panel at (left, top) of its parent, reaching to rightMargin
  // and bottomMargin from the parent's right and bottom edges, also when the
  // parent is resized.
  void FollowParent(int left, int top, int rightMargin, int bottomMargin);

  // Rebuilds the cached picture now, as the next paint would (benchmarks).
  void RebuildNow();

 signals:
  // A click or a drag on the plot asks to show this frame.
  void FrameJumpRequested(std::int32_t record, std::int32_t frame);
  // The pass ended by itself (complete, or failed: see Results()->State()).
  void PassFinished();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool event(QEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Bands {
    QRect Marks;     // note ticks and setting marks
    QRect Strip;     // gate A strip
    QRect Coupling;  // coupling losses
    QRect BScan;
    QRect Legend;    // B-scan colour scale
  };
  Bands Layout() const;
  int PlotWidth() const;

  // Called from the pass's worker threads through queued calls by name, so
  // that the arguments travel in Qt's own event, never in a functor made on
  // the worker thread.
  Q_INVOKABLE void OnProgress(qulonglong generation, int done, int total);
  Q_INVOKABLE void OnFinished(qulonglong generation);
  // The results or the view changed: rebuild the picture on the next paint.
  void Invalidate();
  void ScheduleResultsRefresh();
  void Rebuild();
  void PaintPlot(QImage& image, const Bands& bands);
  void DrawOverlays(QPainter& painter, const Bands& bands) const;
  void UpdateScrollBar();
  void ScrollBarMoved(int value);
  void UpdateSlotsPerRecord();
  void JumpToX(int x);
  // Background work on the user-interface thread: the settings timeline,
  // a few records at a time.
  void ReadSettingsSome();
  // The decoded frames of record r when at hand, or decoded now while the
  // rebuild's time budget lasts.
  const std::vector<analysis::AmplitudeColumn>* FramesOf(std::int32_t r);
  QString ToolTipAt(QPoint pos) const;

  analysis::RecordingAnalysis analysis_;
  std::shared_ptr<const analysis::AnalysisResults> results_;
  std::uint64_t generation_ = 0;
  std::string path_;
  QStringList noteTexts_;
  std::vector<std::int32_t> noteRecords_;
  std::int32_t framesHint_ = 1;

  analysis::OverviewAxis axis_;
  analysis::OverviewView view_;
  analysis::FramePosition cursor_{-1, 0};
  std::vector<analysis::FrameSpan> indications_;
  int selectedIndication_ = -1;

  // Settings along the recording, read with reader_ on idle turns.
  analysis::SettingsTimeline timeline_;
  QTimer settingsTimer_;

  // Frames decoded on demand (zoomed in), most recently used first.
  std::unique_ptr<analysis::RecordReader> reader_;
  std::list<std::int32_t> decodedOrder_;
  std::unordered_map<std::int32_t,
                     std::pair<std::vector<analysis::AmplitudeColumn>, std::list<std::int32_t>::iterator>>
      decoded_;
  QElapsedTimer rebuildClock_;
  bool decodeBudgetLeft_ = true;
  bool refineNeeded_ = false;
  QTimer refineTimer_;
  QTimer resultsTimer_;

  QImage cache_;
  bool dirty_ = true;

  QProgressBar* progress_;
  QScrollBar* scrollBar_;
  bool settingScrollBar_ = false;

  // Mouse.
  bool leftDown_ = false;
  std::int64_t lastJumpColumn_ = -1;
  bool panning_ = false;
  int panStartX_ = 0;
  analysis::OverviewView panStartView_;

  // Placement in the parent.
  bool followParent_ = false;
  int left_ = 0, top_ = 0, rightMargin_ = 0, bottomMargin_ = 0;
};

}  // namespace sonalyt::app
