#include "app/overview_panel.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QResizeEvent>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>

#include "app/window_geometry.h"
#include "analysis/bscan.h"

namespace sonalyt::app {
namespace {

using analysis::FramePosition;
using analysis::GateColumn;
using analysis::OverviewView;

// Geometry of the panel, in pixels.
constexpr int kLabelWidth = 34;    // captions left of the plot
constexpr int kLegendWidth = 38;   // B-scan colour scale right of the plot
constexpr int kMarksHeight = 9;    // note ticks and setting marks
constexpr int kCouplingHeight = 4;
constexpr int kGap = 2;
constexpr int kScrollBarHeight = 12;
constexpr int kProgressWidth = 150;
constexpr int kProgressHeight = 12;
// A tick or mark answers a tool tip this many pixels either side.
constexpr int kTipReach = 3;

// Each wheel notch zooms by this factor.
constexpr double kZoomPerNotch = 1.25;
// Decoding frames for the zoomed-in B-scan stops after this long in one
// rebuild; the rest follows on the next turns of the event loop.
constexpr qint64 kDecodeBudgetMs = 4;
// Reading the settings of a few records per turn of the event loop.
constexpr qint64 kSettingsSliceMs = 4;
// Results are redrawn at most this often while the pass runs.
constexpr int kResultsRefreshMs = 150;
// Records whose decoded frames are kept, at least.
constexpr std::size_t kDecodedRecordsKept = 1024;

const QColor kBackground(0x1E, 0x1E, 0x1E);
const QColor kPlotBackground(0x00, 0x00, 0x00);
const QColor kPending(0x40, 0x40, 0x40);
const QColor kPeak(0x4C, 0xAF, 0x50);
const QColor kAlarm(0xFF, 0x3B, 0x30);
const QColor kLevel(0xFF, 0xD7, 0x00);
const QColor kCouplingLost(0xFF, 0x98, 0x00);
const QColor kCouplingKept(0x2A, 0x2A, 0x2A);
const QColor kNoteTick(0xFF, 0xFF, 0xFF);
const QColor kSettingMark(0x00, 0xE5, 0xFF);
const QColor kCaption(0xC8, 0xC8, 0xC8);
const QColor kCursor(0xFF, 0xFF, 0xFF);
const QColor kIndication(0xFF, 0x40, 0xFF);

QFont SmallFont() {
  QFont font = FormFont();
  font.setPixelSize(9);
  return font;
}

}  // namespace

OverviewPanel::OverviewPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("OverviewPanel"));
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(false);
  setAttribute(Qt::WA_OpaquePaintEvent);

  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("OverviewProgress"));
  progress_->setFont(SmallFont());
  progress_->setFormat(tr("分析中 %p%"));
  progress_->setTextVisible(true);
  progress_->hide();

  scrollBar_ = new QScrollBar(Qt::Horizontal, this);
  scrollBar_->setObjectName(QStringLiteral("OverviewScrollBar"));
  scrollBar_->setRange(0, 0);
  scrollBar_->setEnabled(false);
  scrollBar_->setFocusPolicy(Qt::NoFocus);
  connect(scrollBar_, &QScrollBar::valueChanged, this, &OverviewPanel::ScrollBarMoved);

  settingsTimer_.setInterval(1);
  connect(&settingsTimer_, &QTimer::timeout, this, &OverviewPanel::ReadSettingsSome);
  refineTimer_.setSingleShot(true);
  refineTimer_.setInterval(0);
  connect(&refineTimer_, &QTimer::timeout, this, &OverviewPanel::Invalidate);
  resultsTimer_.setSingleShot(true);
  resultsTimer_.setInterval(kResultsRefreshMs);
  connect(&resultsTimer_, &QTimer::timeout, this, [this] {
    UpdateSlotsPerRecord();
    Invalidate();
  });
}

OverviewPanel::~OverviewPanel() { analysis_.Cancel(); }

// ---------------------------------------------------------------------------
// The pass

void OverviewPanel::StartPass(const std::string& path, analysis::RecordingLayout layout,
                              std::int32_t framesPerRecord, const QStringList& noteTexts) {
  const std::uint64_t generation = ++generation_;
  path_ = path;
  noteRecords_ = layout.NoteRecords;
  noteTexts_ = noteTexts;
  framesHint_ = std::max(framesPerRecord, 1);
  axis_ = {static_cast<std::int32_t>(layout.Index.size()), framesHint_};
  view_ = analysis::WholeView(axis_);
  cursor_ = {-1, 0};
  indications_.clear();
  selectedIndication_ = -1;

  timeline_ = analysis::SettingsTimeline(layout.Index);
  decoded_.clear();
  decodedOrder_.clear();
  reader_ = std::make_unique<analysis::RecordReader>(layout.Index);
  if (!reader_->Open(path)) reader_.reset();
  if (reader_) settingsTimer_.start();

  analysis::RecordingAnalysis::Options options;
  options.Progress = [this, generation](std::int32_t done, std::int32_t total) {
    QMetaObject::invokeMethod(this, "OnProgress", Qt::QueuedConnection,
                              Q_ARG(qulonglong, generation), Q_ARG(int, done),
                              Q_ARG(int, total));
  };
  options.Finished = [this, generation](analysis::PassState) {
    QMetaObject::invokeMethod(this, "OnFinished", Qt::QueuedConnection,
                              Q_ARG(qulonglong, generation));
  };
  analysis_.Start(path, std::move(layout), std::move(options));
  results_ = analysis_.Results();

  progress_->setRange(0, std::max(axis_.Records, 1));
  progress_->setValue(0);
  progress_->setVisible(PassRunning());
  UpdateScrollBar();
  Invalidate();
}

void OverviewPanel::CancelPass() {
  ++generation_;
  analysis_.Cancel();
  settingsTimer_.stop();
  progress_->hide();
  Invalidate();
}

bool OverviewPanel::PassRunning() const {
  return results_ && results_->State() == analysis::PassState::Running;
}

void OverviewPanel::OnProgress(qulonglong generation, int done, int total) {
  if (generation != generation_) return;
  progress_->setRange(0, std::max(total, 1));
  progress_->setValue(done);
  progress_->setVisible(PassRunning());
  if (!resultsTimer_.isActive()) resultsTimer_.start();
}

void OverviewPanel::OnFinished(qulonglong generation) {
  if (generation != generation_) return;
  progress_->hide();
  resultsTimer_.stop();
  UpdateSlotsPerRecord();
  Invalidate();
  emit PassFinished();
}

// A record longer than the ones seen so far widens every record on the axis;
// the view keeps its place in the recording.
void OverviewPanel::UpdateSlotsPerRecord() {
  if (!results_) return;
  std::int32_t most = framesHint_;
  const std::int32_t records = results_->IndexedRecords();
  for (std::int32_t r = 0; r < records; ++r) {
    if (results_->RecordDone(r)) most = std::max(most, results_->FramesInRecord(r));
  }
  if (most == axis_.SlotsPerRecord) return;
  const bool whole = view_ == analysis::WholeView(axis_);
  const std::int64_t from = axis_.SlotsPerRecord;
  axis_.SlotsPerRecord = most;
  view_ = whole ? analysis::WholeView(axis_)
                : analysis::ClampView(axis_, {view_.First * most / from, view_.Count * most / from},
                                      PlotWidth());
  UpdateScrollBar();
}

void OverviewPanel::ReadSettingsSome() {
  if (!reader_ || timeline_.Complete()) {
    settingsTimer_.stop();
    return;
  }
  QElapsedTimer slice;
  slice.start();
  while (slice.elapsed() < kSettingsSliceMs && timeline_.ReadNext(*reader_)) {
  }
  if (timeline_.Complete()) {
    settingsTimer_.stop();
    Invalidate();
  }
}

// ---------------------------------------------------------------------------
// Cursor, indications, view

void OverviewPanel::SetCursorFrame(std::int32_t record, std::int32_t frame) {
  const FramePosition next = record < 0 ? FramePosition{-1, 0} : FramePosition{record, frame};
  if (next == cursor_) return;
  cursor_ = next;
  update();
}

void OverviewPanel::SetIndicationSpans(std::vector<analysis::FrameSpan> spans) {
  indications_ = std::move(spans);
  if (selectedIndication_ >= static_cast<int>(indications_.size())) selectedIndication_ = -1;
  update();
}

void OverviewPanel::SetSelectedIndication(int index) {
  selectedIndication_ = index >= 0 && index < static_cast<int>(indications_.size()) ? index : -1;
  update();
}

void OverviewPanel::SetView(const OverviewView& view) {
  const OverviewView next = analysis::ClampView(axis_, view, PlotWidth());
  if (next == view_) return;
  view_ = next;
  UpdateScrollBar();
  Invalidate();
}

void OverviewPanel::ShowWholeRecording() { SetView(analysis::WholeView(axis_)); }

void OverviewPanel::ZoomAbout(std::int64_t x, double factor) {
  SetView(analysis::ZoomAbout(axis_, view_, PlotWidth(), x, factor));
}

FramePosition OverviewPanel::FrameAtX(int x) const {
  const int width = PlotWidth();
  const std::int64_t column = std::clamp(x - PlotRect().left(), 0, std::max(width - 1, 0));
  return analysis::FrameAtColumn(axis_, view_, width, column, results_.get());
}

void OverviewPanel::UpdateScrollBar() {
  const int width = PlotWidth();
  const std::int64_t unit =
      analysis::ColumnsCoverRecords(axis_, view_, width) ? axis_.SlotsPerRecord : 1;
  const std::int64_t maximum = std::max<std::int64_t>(0, (axis_.Slots() - view_.Count) / unit);
  // Recordings whose slots exceed the scroll bar's range move in coarser steps.
  const std::int64_t scale = maximum / std::numeric_limits<int>::max() + 1;
  QScopedValueRollback guard(settingScrollBar_, true);
  scrollBar_->setRange(0, static_cast<int>(maximum / scale));
  scrollBar_->setPageStep(static_cast<int>(std::max<std::int64_t>(1, view_.Count / unit / scale)));
  scrollBar_->setSingleStep(
      static_cast<int>(std::max<std::int64_t>(1, view_.Count / unit / scale / 20)));
  scrollBar_->setValue(static_cast<int>(view_.First / unit / scale));
  scrollBar_->setEnabled(maximum > 0);
}

void OverviewPanel::ScrollBarMoved(int value) {
  if (settingScrollBar_) return;
  const std::int64_t unit =
      analysis::ColumnsCoverRecords(axis_, view_, PlotWidth()) ? axis_.SlotsPerRecord : 1;
  const std::int64_t maximum = std::max<std::int64_t>(0, (axis_.Slots() - view_.Count) / unit);
  const std::int64_t scale = maximum / std::numeric_limits<int>::max() + 1;
  SetView({std::int64_t{value} * scale * unit, view_.Count});
}

void OverviewPanel::FollowParent(int left, int top, int rightMargin, int bottomMargin) {
  followParent_ = true;
  left_ = left;
  top_ = top;
  rightMargin_ = rightMargin;
  bottomMargin_ = bottomMargin;
  if (QWidget* p = parentWidget()) {
    p->installEventFilter(this);
    setGeometry(left_, top_, std::max(1, p->width() - left_ - rightMargin_),
                std::max(1, p->height() - top_ - bottomMargin_));
  }
}

bool OverviewPanel::eventFilter(QObject* watched, QEvent* event) {
  if (followParent_ && watched == parentWidget() && event->type() == QEvent::Resize) {
    const QWidget* p = parentWidget();
    setGeometry(left_, top_, std::max(1, p->width() - left_ - rightMargin_),
                std::max(1, p->height() - top_ - bottomMargin_));
  }
  return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Layout and painting

int OverviewPanel::PlotWidth() const { return std::max(0, width() - kLabelWidth - kLegendWidth); }

OverviewPanel::Bands OverviewPanel::Layout() const {
  Bands b;
  const int plotWidth = PlotWidth();
  b.Marks = QRect(kLabelWidth, 0, plotWidth, kMarksHeight);
  int y = kMarksHeight + 1;
  const int bottom = height() - kScrollBarHeight - 1;
  const int free = std::max(0, bottom - y - kCouplingHeight - 2 * kGap);
  const int strip = free / 3;
  b.Strip = QRect(kLabelWidth, y, plotWidth, strip);
  y += strip + kGap;
  b.Coupling = QRect(kLabelWidth, y, plotWidth, kCouplingHeight);
  y += kCouplingHeight + kGap;
  b.BScan = QRect(kLabelWidth, y, plotWidth, std::max(0, bottom - y));
  b.Legend = QRect(kLabelWidth + plotWidth + 4, b.BScan.top(), 6, b.BScan.height());
  return b;
}

QRect OverviewPanel::PlotRect() const {
  const Bands b = Layout();
  return QRect(b.Marks.topLeft(), b.BScan.bottomRight());
}

void OverviewPanel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int plotWidth = PlotWidth();
  scrollBar_->setGeometry(kLabelWidth, height() - kScrollBarHeight, plotWidth, kScrollBarHeight);
  progress_->setGeometry(kLabelWidth + std::max(0, plotWidth - kProgressWidth), 0, 
                         std::min(kProgressWidth, plotWidth), kProgressHeight);
  const bool whole = event->oldSize().width() > 0 &&
                     view_ == analysis::ClampView(axis_, analysis::WholeView(axis_),
                                                  std::max(0, event->oldSize().width() - kLabelWidth - kLegendWidth));
  view_ = whole ? analysis::WholeView(axis_) : analysis::ClampView(axis_, view_, plotWidth);
  UpdateScrollBar();
  Invalidate();
}

void OverviewPanel::Invalidate() {
  dirty_ = true;
  update();
}

void OverviewPanel::RebuildNow() { Rebuild(); }

void OverviewPanel::paintEvent(QPaintEvent* /*event*/) {
  if (dirty_ || cache_.size() != size()) Rebuild();
  QPainter painter(this);
  painter.drawImage(0, 0, cache_);
  DrawOverlays(painter, Layout());
}

void OverviewPanel::Rebuild() {
  if (cache_.size() != size()) cache_ = QImage(size(), QImage::Format_RGB32);
  cache_.fill(kBackground);
  PaintPlot(cache_, Layout());
  dirty_ = false;
}

const std::vector<analysis::AmplitudeColumn>* OverviewPanel::FramesOf(std::int32_t r) {
  if (auto it = decoded_.find(r); it != decoded_.end()) {
    decodedOrder_.splice(decodedOrder_.begin(), decodedOrder_, it->second.second);
    return &it->second.first;
  }
  if (!reader_) return nullptr;
  if (!decodeBudgetLeft_ || rebuildClock_.elapsed() >= kDecodeBudgetMs) {
    decodeBudgetLeft_ = false;
    refineNeeded_ = true;
    return nullptr;
  }
  std::vector<analysis::AmplitudeColumn> frames;
  if (!reader_->RecordAmplitudes(r, frames)) return nullptr;  // the max-hold stands in
  decodedOrder_.push_front(r);
  auto& entry = decoded_[r];
  entry = {std::move(frames), decodedOrder_.begin()};
  const std::size_t kept = std::max(kDecodedRecordsKept, static_cast<std::size_t>(PlotWidth()) * 2);
  while (decoded_.size() > kept) {
    decoded_.erase(decodedOrder_.back());
    decodedOrder_.pop_back();
  }
  return &entry.first;
}

void OverviewPanel::PaintPlot(QImage& image, const Bands& b) {
  QPainter p(&image);
  p.setFont(SmallFont());
  p.setPen(kCaption);
  p.drawText(QRect(0, b.Strip.top(), kLabelWidth - 3, b.Strip.height()),
             Qt::AlignRight | Qt::AlignVCenter, tr("闸门A"));
  p.drawText(QRect(0, b.Coupling.top() - 4, kLabelWidth - 3, b.Coupling.height() + 8),
             Qt::AlignRight | Qt::AlignVCenter, tr("耦合"));
  p.drawText(QRect(0, b.BScan.top(), kLabelWidth - 3, b.BScan.height()),
             Qt::AlignRight | Qt::AlignVCenter, tr("B扫描"));
  p.fillRect(b.Strip, kPlotBackground);
  p.fillRect(b.Coupling, kPlotBackground);
  p.fillRect(b.BScan, kPlotBackground);

  // The B-scan's colour scale.
  const int legendRows = b.Legend.height();
  for (int y = 0; y < legendRows; ++y) {
    const std::int32_t amplitude =
        legendRows > 1 ? analysis::kFullAmplitude - y * analysis::kFullAmplitude / (legendRows - 1)
                       : analysis::kFullAmplitude;
    p.fillRect(b.Legend.left(), b.Legend.top() + y, b.Legend.width(), 1,
               QColor::fromRgb(analysis::AmplitudeColor(amplitude)));
  }
  p.setPen(kCaption);
  const int legendTextLeft = b.Legend.right() + 2;
  const int legendTextWidth = width() - legendTextLeft;
  p.drawText(QRect(legendTextLeft, b.Legend.top() - 2, legendTextWidth, 10), Qt::AlignLeft | Qt::AlignTop,
             tr("100%"));
  p.drawText(QRect(legendTextLeft, b.Legend.bottom() - 8, legendTextWidth, 10),
             Qt::AlignLeft | Qt::AlignBottom, tr("0"));

  const int plotWidth = PlotWidth();
  if (!results_ || plotWidth <= 0 || axis_.Records <= 0) return;

  // Gate strip and coupling band.
  const std::vector<GateColumn> gate =
      analysis::GateColumns(*results_, axis_, view_, plotWidth, &timeline_);
  const int stripHeight = b.Strip.height();
  for (int x = 0; x < plotWidth; ++x) {
    const GateColumn& c = gate[static_cast<std::size_t>(x)];
    const int px = b.Strip.left() + x;
    switch (c.State) {
      case GateColumn::Kind::Pending:
        p.fillRect(px, b.Strip.top(), 1, stripHeight, kPending);
        p.fillRect(px, b.Coupling.top(), 1, b.Coupling.height(), kPending);
        continue;
      case GateColumn::Kind::Empty:
        break;
      case GateColumn::Kind::Figures: {
        const int h = std::min<int>(c.Peak, analysis::kFullAmplitude) * stripHeight /
                      analysis::kFullAmplitude;
        if (h > 0) p.fillRect(px, b.Strip.bottom() - h + 1, 1, h, c.Exceeds ? kAlarm : kPeak);
        p.fillRect(px, b.Coupling.top(), 1, b.Coupling.height(),
                   c.Below ? kCouplingLost : kCouplingKept);
        break;
      }
    }
    if (c.Level >= 0 && stripHeight > 0) {
      const int y = b.Strip.bottom() -
                    std::min(c.Level, analysis::kFullAmplitude) * (stripHeight - 1) /
                        analysis::kFullAmplitude;
      p.fillRect(px, y, 1, 1, kLevel);
    }
  }

  // B-scan; zoomed in, frames are decoded within this rebuild's budget.
  rebuildClock_.start();
  decodeBudgetLeft_ = true;
  refineNeeded_ = false;
  const analysis::BScanImage bscan = analysis::OverviewBScan(
      *results_, axis_, view_, plotWidth, b.BScan.height(),
      [this](std::int32_t r) { return FramesOf(r); });
  if (bscan.Width > 0 && bscan.Height > 0) {
    const QImage picture(reinterpret_cast<const uchar*>(bscan.Pixels.data()), bscan.Width,
                         bscan.Height, bscan.Width * 4, QImage::Format_RGB32);
    p.drawImage(b.BScan.topLeft(), picture);
  }
  if (refineNeeded_) refineTimer_.start();

  // Notes as ticks, setting changes as small marks.
  for (const analysis::SettingsEntry& e : timeline_.Entries()) {
    if (!e.Changed) continue;
    const analysis::PixelSpan cols =
        analysis::ColumnsOfFrame(axis_, view_, plotWidth, {e.Record, 0});
    if (cols.First == cols.End) continue;
    const int x = b.Marks.left() + static_cast<int>(cols.First);
    p.fillRect(x - 2, b.Marks.bottom() - 4, 5, 5, kSettingMark);
  }
  for (const std::int32_t n : noteRecords_) {
    const analysis::PixelSpan cols = analysis::ColumnsOfFrame(axis_, view_, plotWidth, {n, 0});
    if (cols.First == cols.End) continue;
    const int x = b.Marks.left() + static_cast<int>(cols.First);
    p.fillRect(x, b.Marks.top(), 1, b.Marks.height(), kNoteTick);
    p.fillRect(x - 1, b.Marks.top(), 3, 2, kNoteTick);
  }
}

void OverviewPanel::DrawOverlays(QPainter& p, const Bands& b) const {
  const int plotWidth = PlotWidth();
  if (!results_ || plotWidth <= 0) return;
  const int top = b.Strip.top();
  const int height = b.BScan.bottom() - top + 1;

  for (std::size_t i = 0; i < indications_.size(); ++i) {
    const analysis::PixelSpan cols =
        analysis::ColumnsOfFrames(axis_, view_, plotWidth, indications_[i]);
    if (cols.First == cols.End) continue;
    const QRect area(b.Strip.left() + static_cast<int>(cols.First), top,
                     static_cast<int>(cols.End - cols.First), height);
    const bool selected = static_cast<int>(i) == selectedIndication_;
    QColor fill = kIndication;
    fill.setAlpha(selected ? 110 : 60);
    p.fillRect(area, fill);
    if (selected) {
      p.setPen(kIndication);
      p.setBrush(Qt::NoBrush);
      p.drawRect(area.adjusted(0, 0, -1, -1));
    }
  }

  if (cursor_.Record >= 0) {
    const analysis::PixelSpan cols = analysis::ColumnsOfFrame(axis_, view_, plotWidth, cursor_);
    if (cols.First != cols.End) {
      const int x = b.Strip.left() + static_cast<int>(cols.First);
      const int w = static_cast<int>(cols.End - cols.First);
      if (w >= 3) {
        QColor fill = kCursor;
        fill.setAlpha(70);
        p.fillRect(x, b.Marks.top(), w, b.BScan.bottom() - b.Marks.top() + 1, fill);
      }
      p.fillRect(x, b.Marks.top(), 1, b.BScan.bottom() - b.Marks.top() + 1, kCursor);
    }
  }

  if (results_->State() == analysis::PassState::Failed) {
    p.setPen(kAlarm);
    p.setFont(SmallFont());
    p.drawText(b.BScan, Qt::AlignCenter,
               tr("无法分析此记录：%1").arg(QString::fromLocal8Bit(results_->Error().c_str())));
  }
}

// ---------------------------------------------------------------------------
// Input

void OverviewPanel::JumpToX(int x) {
  const int plotWidth = PlotWidth();
  if (!results_ || axis_.Records <= 0 || plotWidth <= 0) return;
  const std::int64_t column = std::clamp(x - PlotRect().left(), 0, plotWidth - 1);
  if (column == lastJumpColumn_) return;
  lastJumpColumn_ = column;
  const FramePosition frame = FrameAtX(x);
  if (frame.Record < 0 || frame.Record >= axis_.Records) return;
  emit FrameJumpRequested(frame.Record, frame.Frame);
}

void OverviewPanel::mousePressEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (event->button() == Qt::LeftButton && pos.y() <= PlotRect().bottom()) {
    leftDown_ = true;
    lastJumpColumn_ = -1;
    JumpToX(pos.x());
    event->accept();
    return;
  }
  if (event->button() == Qt::RightButton) {
    panning_ = true;
    panStartX_ = pos.x();
    panStartView_ = view_;
    setCursor(Qt::ClosedHandCursor);
    event->accept();
    return;
  }
  QWidget::mousePressEvent(event);
}

void OverviewPanel::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (leftDown_) JumpToX(pos.x());
  if (panning_) {
    SetView(analysis::PanBy(axis_, panStartView_, PlotWidth(), panStartX_ - pos.x()));
  }
  event->accept();
}

void OverviewPanel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) leftDown_ = false;
  if (event->button() == Qt::RightButton && panning_) {
    panning_ = false;
    unsetCursor();
  }
  event->accept();
}

void OverviewPanel::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    ShowWholeRecording();
    event->accept();
    return;
  }
  QWidget::mouseDoubleClickEvent(event);
}

void OverviewPanel::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y() != 0 ? event->angleDelta().y() : event->angleDelta().x();
  if (delta == 0 || !results_) {
    event->ignore();
    return;
  }
  const double factor = std::pow(kZoomPerNotch, delta / 120.0);
  ZoomAbout(static_cast<int>(event->position().x()) - PlotRect().left(), factor);
  event->accept();
}

void OverviewPanel::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Home && event->modifiers() == Qt::NoModifier) {
    ShowWholeRecording();
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

// A language switch: the progress text again, and the painted labels.
void OverviewPanel::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::LanguageChange) {
    progress_->setFormat(tr("分析中 %p%"));
    update();
  }
}

bool OverviewPanel::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::ShortcutOverride: {
      // Home belongs to the overview while it has the focus, before any
      // shortcut of the window.
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Home && key->modifiers() == Qt::NoModifier) {
        event->accept();
        return true;
      }
      break;
    }
    case QEvent::ToolTip: {
      auto* help = static_cast<QHelpEvent*>(event);
      const QString tip = ToolTipAt(help->pos());
      if (tip.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
      } else {
        QToolTip::showText(help->globalPos(), tip, this);
      }
      return true;
    }
    default:
      break;
  }
  return QWidget::event(event);
}

QString OverviewPanel::ToolTipAt(QPoint pos) const {
  const int plotWidth = PlotWidth();
  const Bands b = Layout();
  if (!results_ || plotWidth <= 0 || pos.x() < b.Marks.left() - kTipReach ||
      pos.x() > b.Marks.right() + kTipReach) {
    return {};
  }
  const auto near = [&](std::int32_t record) {
    const analysis::PixelSpan cols = analysis::ColumnsOfFrame(axis_, view_, plotWidth, {record, 0});
    const int x = b.Marks.left() + static_cast<int>(cols.First);
    return cols.First != cols.End && std::abs(pos.x() - x) <= kTipReach;
  };
  if (pos.y() <= b.Marks.bottom() + 1) {
    QStringList lines;
    for (std::size_t i = 0; i < noteRecords_.size(); ++i) {
      if (!near(noteRecords_[i])) continue;
      const QString text = i < static_cast<std::size_t>(noteTexts_.size())
                               ? noteTexts_[static_cast<qsizetype>(i)]
                               : QString();
      lines << tr("备注（记录 %1）：%2").arg(noteRecords_[i]).arg(text);
    }
    for (const analysis::SettingsEntry& e : timeline_.Entries()) {
      if (e.Changed && near(e.Record)) lines << tr("记录 %1 起设置改变").arg(e.Record);
    }
    if (!lines.isEmpty()) return lines.join(QLatin1Char('\n'));
  }
  if (pos.y() > b.BScan.bottom() || pos.x() < b.Marks.left() || pos.x() > b.Marks.right()) {
    return {};
  }
  const FramePosition frame = FrameAtX(pos.x());
  if (frame.Record >= axis_.Records) return {};
  QString tip = tr("记录 %1，帧 %2").arg(frame.Record).arg(frame.Frame);
  if (!results_->RecordDone(frame.Record)) return tip + QLatin1Char('\n') + tr("尚未分析");
  const std::int64_t column = pos.x() - b.Marks.left();
  const analysis::PixelSpan covered = analysis::SlotsOfColumn(axis_, view_, plotWidth, column);
  const OverviewView one{covered.First, covered.End - covered.First};
  const std::vector<GateColumn> c = analysis::GateColumns(*results_, axis_, one, 1, &timeline_);
  if (!c.empty() && c.front().State == GateColumn::Kind::Figures) {
    tip += QLatin1Char('\n') +
           tr("闸门A最高波幅 %1%").arg(c.front().Peak * 100 / analysis::kFullAmplitude);
    if (c.front().Exceeds) tip += QLatin1Char('\n') + tr("闸门A报警");
    if (c.front().Below) tip += QLatin1Char('\n') + tr("耦合丢失（闸门B无回波）");
  }
  return tip;
}

}  // namespace sonalyt::app
