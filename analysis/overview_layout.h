// The maths of the overview: the whole recording on one horizontal axis,
// zoomed and panned, mapped to pixel columns; what each pixel column of the
// gate strip and of the B-scan shows; where note ticks, setting-change marks,
// the cursor and indication spans fall. Plain functions of the analysis
// results, so the viewer's panel only paints and handles input.
//
// The axis counts frame slots: every record takes SlotsPerRecord slots
// (the most frames a record of the recording has), so equal widths are
// equal recording time (a record is about a second), and slot s stands for
// frame s % SlotsPerRecord of record s / SlotsPerRecord. A slot beyond the
// frames of a shorter record shows nothing.
//
// Zoomed out so far that a pixel column covers a whole record or more, the
// view holds whole records and every pixel column covers whole records
// (SpanOfPixel over the records in view), so each column's figures and
// B-scan are exact from the records' figures and max-hold columns. Zoomed
// in further, pixel columns cover runs of frames (SpanOfPixel over the
// slots in view), down to one pixel column per frame; the B-scan then needs
// each frame's amplitudes, which the caller decodes on demand.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <span>
#include <vector>

#include "analysis/bscan.h"
#include "analysis/frame_figures.h"
#include "analysis/recording_analysis.h"
#include "recording/parameter_block.h"
#include "recording/recording_file.h"

namespace sonalyt::analysis {

class RecordReader;

// One frame of the recording.
struct FramePosition {
  std::int32_t Record = 0;
  std::int32_t Frame = 0;
  bool operator==(const FramePosition&) const = default;
};
void PrintTo(const FramePosition& position, std::ostream* os);

// Frames First .. Last of the recording, both included (First not after Last).
struct FrameSpan {
  FramePosition First;
  FramePosition Last;
  bool operator==(const FrameSpan&) const = default;
};

struct OverviewAxis {
  std::int32_t Records = 0;         // indexed records
  std::int32_t SlotsPerRecord = 1;  // at least 1

  std::int64_t Slots() const { return std::int64_t{Records} * SlotsPerRecord; }
  // The slot of a frame; frames beyond SlotsPerRecord - 1 take the last slot.
  std::int64_t SlotOf(FramePosition frame) const;
  FramePosition FrameAt(std::int64_t slot) const;
  bool operator==(const OverviewAxis&) const = default;
};

// The slots shown: First .. First + Count - 1.
struct OverviewView {
  std::int64_t First = 0;
  std::int64_t Count = 0;
  bool operator==(const OverviewView&) const = default;
};
void PrintTo(const OverviewView& view, std::ostream* os);

// The whole recording.
OverviewView WholeView(const OverviewAxis& axis);
// The view made valid for a plot `width` pixel columns wide: Count between
// the fewest slots (one pixel column per slot, or the whole recording when
// it has fewer slots than the plot has columns) and the whole recording,
// First inside the recording; when a pixel column covers a record or more,
// First and Count are whole records (First rounded down, Count up).
OverviewView ClampView(const OverviewAxis& axis, OverviewView view, std::int32_t width);
// Whether pixel columns cover whole records (zoomed out to a record a
// column or more), as opposed to runs of frames.
bool ColumnsCoverRecords(const OverviewAxis& axis, const OverviewView& view, std::int32_t width);

// The slots [First, End) that pixel column x (0 <= x < width) covers.
PixelSpan SlotsOfColumn(const OverviewAxis& axis, const OverviewView& view, std::int32_t width,
                        std::int64_t x);
// The pixel columns [First, End) that show any of slots [first, end);
// empty (First == End) when none of them is in view.
PixelSpan ColumnsOfSlots(const OverviewAxis& axis, const OverviewView& view, std::int32_t width,
                         std::int64_t first, std::int64_t end);
// The columns that show a frame, and that show a span of frames.
PixelSpan ColumnsOfFrame(const OverviewAxis& axis, const OverviewView& view, std::int32_t width,
                         FramePosition frame);
PixelSpan ColumnsOfFrames(const OverviewAxis& axis, const OverviewView& view,
                          std::int32_t width, const FrameSpan& frames);
// The frame a click on pixel column x shows: the first frame the column
// covers; with results, a slot past the end of a shorter record gives that
// record's last frame.
FramePosition FrameAtColumn(const OverviewAxis& axis, const OverviewView& view,
                            std::int32_t width, std::int64_t x,
                            const AnalysisResults* results = nullptr);

// Zooms by `factor` (above 1 zooms in, below 1 out) so that the frame under
// pixel column x stays under it, as far as the edges of the recording allow.
OverviewView ZoomAbout(const OverviewAxis& axis, const OverviewView& view, std::int32_t width,
                       std::int64_t x, double factor);
// Moves the view by `columns` pixel columns of the view (positive: later
// in the recording), clamped to the recording.
OverviewView PanBy(const OverviewAxis& axis, const OverviewView& view, std::int32_t width,
                   std::int64_t columns);
// Records [first, end) that have a slot in view.
PixelSpan RecordsInView(const OverviewAxis& axis, const OverviewView& view);

// The settings in force along the recording: every record whose parameter
// area holds an applicable block, read one at a time, with the gate A level
// and whether the block changes a setting of the block before it.
struct SettingsEntry {
  std::int32_t Record = 0;
  std::int32_t GateALevel = 0;  // 1/200 of the picture height
  bool GateAFollowsCurve = false;
  // Some setting differs from the previous block (the first block changes
  // nothing). The time stamp and the note length are not settings.
  bool Changed = false;
  bool operator==(const SettingsEntry&) const = default;
};
void PrintTo(const SettingsEntry& entry, std::ostream* os);

// Whether two blocks differ in a setting: in any byte but the time stamp
// and the note length.
bool SettingsDiffer(const recording::ParameterBlock& a, const recording::ParameterBlock& b);

class SettingsTimeline {
 public:
  SettingsTimeline() = default;
  // The records to read: those the index marks as carrying a parameter
  // area (their governing record is themselves), and record 0.
  explicit SettingsTimeline(std::span<const recording::RecordIndexEntry> index);

  // Reads the next of those records with reader (a few tens of
  // microseconds); false once all have been read.
  bool ReadNext(RecordReader& reader);
  bool Complete() const { return next_ >= candidates_.size(); }
  // Records with an applicable block read so far, in record order.
  const std::vector<SettingsEntry>& Entries() const { return entries_; }
  // The entry of record r; null when r has none (yet).
  const SettingsEntry* EntryOf(std::int32_t r) const;

 private:
  std::vector<std::int32_t> candidates_;
  std::size_t next_ = 0;
  std::vector<SettingsEntry> entries_;
  std::optional<recording::ParameterBlock> previous_;
};

// What one pixel column of the gate strip shows.
struct GateColumn {
  enum class Kind : std::uint8_t {
    Pending,  // none of its records is analysed yet
    Empty,    // analysed, but it covers no frame (slots past a short record)
    Figures,  // the figures below
  };
  Kind State = Kind::Pending;
  std::uint8_t Peak = 0;   // largest GateAPeak of its frames, amplitude units (0..200)
  bool Exceeds = false;    // one of its frames has GateAExceeds
  bool Below = false;      // one of its frames has GateBBelow (coupling lost)
  // GateALevel of the block governing its first analysed record; -1 when
  // not known yet or when gate A follows the curve (no single level).
  std::int32_t Level = -1;
  bool operator==(const GateColumn&) const = default;
};
void PrintTo(const GateColumn& column, std::ostream* os);

// The gate strip's pixel columns, from the records analysed so far.
std::vector<GateColumn> GateColumns(const AnalysisResults& results, const OverviewAxis& axis,
                                    const OverviewView& view, std::int32_t width,
                                    const SettingsTimeline* timeline = nullptr);

// framesOf(r): the amplitude columns of every frame of record r, or null
// when they are not at hand (the record's max-hold column stands in).
using FrameAmplitudesOf = std::function<const std::vector<AmplitudeColumn>*(std::int32_t)>;

// The B-scan of the view, `width` x `height`: each pixel the maximum
// amplitude over the frames its column covers and the screen columns its row
// covers (RasterizeBScan's rows and palette). A column that covers a record
// only in part takes that record's frames from framesOf; a column none of
// whose records is analysed is kPendingColor.
BScanImage OverviewBScan(const AnalysisResults& results, const OverviewAxis& axis,
                         const OverviewView& view, std::int32_t width, std::int32_t height,
                         const FrameAmplitudesOf& framesOf);
// The analysed records in view whose frames OverviewBScan asks for (none
// when columns cover whole records).
std::vector<std::int32_t> RecordsNeedingFrames(const AnalysisResults& results,
                                               const OverviewAxis& axis,
                                               const OverviewView& view, std::int32_t width);

}  // namespace sonalyt::analysis
