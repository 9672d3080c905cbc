#include "analysis/overview_layout.h"

#include <algorithm>
#include <cmath>
#include <ostream>

#include "analysis/record_reader.h"

namespace sonalyt::analysis {
namespace {

// The positions pixel columns are laid over: whole records when columns
// cover a record or more, single slots otherwise. Position p is slots
// First + p * Unit .. First + (p + 1) * Unit - 1.
struct Positions {
  std::int64_t First = 0;
  std::int64_t Unit = 1;
  std::int64_t Count = 0;
};

Positions PositionsOf(const OverviewAxis& axis, const OverviewView& view, std::int32_t width) {
  if (ColumnsCoverRecords(axis, view, width)) {
    return {view.First, axis.SlotsPerRecord, view.Count / axis.SlotsPerRecord};
  }
  return {view.First, 1, view.Count};
}

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) { return a / b + (a % b != 0 ? 1 : 0); }

// The columns that show position p of n over `width` columns: the one
// column whose span holds it, or the run of columns that repeat it when
// there are fewer positions than columns (the inverse of SpanOfPixel).
PixelSpan ColumnsOfPosition(std::int64_t p, std::int64_t n, std::int64_t width) {
  const std::int64_t end = CeilDiv((p + 1) * width, n);
  const std::int64_t first = std::min(CeilDiv(p * width, n), end - 1);
  return {first, end};
}

void Fold(AmplitudeColumn& held, const AmplitudeColumn& column) {
  for (std::size_t c = 0; c < held.size(); ++c) held[c] = std::max(held[c], column[c]);
}

}  // namespace

void PrintTo(const FramePosition& position, std::ostream* os) {
  *os << "{record " << position.Record << ", frame " << position.Frame << "}";
}

void PrintTo(const OverviewView& view, std::ostream* os) {
  *os << "{First=" << view.First << ", Count=" << view.Count << "}";
}

void PrintTo(const SettingsEntry& entry, std::ostream* os) {
  *os << "{Record=" << entry.Record << ", GateALevel=" << entry.GateALevel
      << ", GateAFollowsCurve=" << entry.GateAFollowsCurve << ", Changed=" << entry.Changed << "}";
}

void PrintTo(const GateColumn& column, std::ostream* os) {
  static const char* const kinds[] = {"Pending", "Empty", "Figures"};
  *os << "{" << kinds[static_cast<int>(column.State)] << ", Peak=" << int{column.Peak}
      << ", Exceeds=" << column.Exceeds << ", Below=" << column.Below << ", Level=" << column.Level
      << "}";
}

std::int64_t OverviewAxis::SlotOf(FramePosition frame) const {
  return std::int64_t{frame.Record} * SlotsPerRecord +
         std::clamp<std::int64_t>(frame.Frame, 0, SlotsPerRecord - 1);
}

FramePosition OverviewAxis::FrameAt(std::int64_t slot) const {
  return {static_cast<std::int32_t>(slot / SlotsPerRecord),
          static_cast<std::int32_t>(slot % SlotsPerRecord)};
}

OverviewView WholeView(const OverviewAxis& axis) { return {0, axis.Slots()}; }

bool ColumnsCoverRecords(const OverviewAxis& axis, const OverviewView& view, std::int32_t width) {
  return width > 0 && view.Count >= std::int64_t{width} * axis.SlotsPerRecord;
}

OverviewView ClampView(const OverviewAxis& axis, OverviewView view, std::int32_t width) {
  const std::int64_t slots = axis.Slots();
  if (slots <= 0) return {};
  if (width <= 0) return WholeView(axis);
  const std::int64_t fewest = std::min<std::int64_t>(slots, width);
  view.Count = std::clamp(view.Count, fewest, slots);
  view.First = std::clamp<std::int64_t>(view.First, 0, slots - view.Count);
  if (ColumnsCoverRecords(axis, view, width)) {
    const std::int64_t s = axis.SlotsPerRecord;
    view.Count = std::min(CeilDiv(view.Count, s) * s, slots);
    view.First = std::min(view.First / s * s, slots - view.Count);
  }
  return view;
}

PixelSpan SlotsOfColumn(const OverviewAxis& axis, const OverviewView& view, std::int32_t width,
                        std::int64_t x) {
  const Positions positions = PositionsOf(axis, view, width);
  const PixelSpan p = SpanOfPixel(x, width, positions.Count);
  return {positions.First + p.First * positions.Unit, positions.First + p.End * positions.Unit};
}

PixelSpan ColumnsOfSlots(const OverviewAxis& axis, const OverviewView& view, std::int32_t width,
                         std::int64_t first, std::int64_t end) {
  first = std::max(first, view.First);
  end = std::min(end, view.First + view.Count);
  if (width <= 0 || first >= end) return {};
  const Positions positions = PositionsOf(axis, view, width);
  if (positions.Count <= 0) return {};
  const std::int64_t p0 = (first - positions.First) / positions.Unit;
  const std::int64_t p1 = std::min(CeilDiv(end - positions.First, positions.Unit), positions.Count);
  return {ColumnsOfPosition(p0, positions.Count, width).First,
          ColumnsOfPosition(p1 - 1, positions.Count, width).End};
}

PixelSpan ColumnsOfFrame(const OverviewAxis& axis, const OverviewView& view, std::int32_t width,
                         FramePosition frame) {
  const std::int64_t slot = axis.SlotOf(frame);
  return ColumnsOfSlots(axis, view, width, slot, slot + 1);
}

PixelSpan ColumnsOfFrames(const OverviewAxis& axis, const OverviewView& view,
                          std::int32_t width, const FrameSpan& frames) {
  return ColumnsOfSlots(axis, view, width, axis.SlotOf(frames.First),
                        axis.SlotOf(frames.Last) + 1);
}

FramePosition FrameAtColumn(const OverviewAxis& axis, const OverviewView& view,
                            std::int32_t width, std::int64_t x, const AnalysisResults* results) {
  FramePosition frame = axis.FrameAt(SlotsOfColumn(axis, view, width, x).First);
  if (results != nullptr && frame.Record < results->IndexedRecords() &&
      results->RecordDone(frame.Record)) {
    const std::int32_t frames = results->FramesInRecord(frame.Record);
    if (frames > 0) frame.Frame = std::min(frame.Frame, frames - 1);
  }
  return frame;
}

OverviewView ZoomAbout(const OverviewAxis& axis, const OverviewView& view, std::int32_t width,
                       std::int64_t x, double factor) {
  const std::int64_t slots = axis.Slots();
  if (width <= 0 || slots <= 0 || !(factor > 0)) return ClampView(axis, view, width);
  const OverviewView from = ClampView(axis, view, width);
  x = std::clamp<std::int64_t>(x, 0, width - 1);
  const std::int64_t anchor = SlotsOfColumn(axis, from, width, x).First;

  auto count = static_cast<std::int64_t>(std::llround(static_cast<double>(from.Count) / factor));
  // Every turn of the wheel moves, however small the factor.
  if (factor > 1 && count >= from.Count) count = from.Count - 1;
  if (factor < 1 && count <= from.Count) count = from.Count + 1;
  count = std::clamp<std::int64_t>(count, std::min<std::int64_t>(slots, width), slots);

  OverviewView to{0, count};
  const std::int64_t s = axis.SlotsPerRecord;
  if (ColumnsCoverRecords(axis, to, width)) {
    const std::int64_t records = CeilDiv(count, s);
    to = {(anchor / s - x * records / width) * s, records * s};
  } else {
    to.First = anchor - x * count / width;
  }
  return ClampView(axis, to, width);
}

OverviewView PanBy(const OverviewAxis& axis, const OverviewView& view, std::int32_t width,
                   std::int64_t columns) {
  const OverviewView from = ClampView(axis, view, width);
  if (width <= 0) return from;
  const Positions positions = PositionsOf(axis, from, width);
  return ClampView(axis,
                   {from.First + columns * positions.Count / width * positions.Unit, from.Count},
                   width);
}

PixelSpan RecordsInView(const OverviewAxis& axis, const OverviewView& view) {
  return {view.First / axis.SlotsPerRecord,
          CeilDiv(view.First + view.Count, axis.SlotsPerRecord)};
}

// ---------------------------------------------------------------------------
// Settings

bool SettingsDiffer(const recording::ParameterBlock& a, const recording::ParameterBlock& b) {
  recording::ParameterBlock x = a;
  recording::ParameterBlock y = b;
  x.StampBcd = {};
  y.StampBcd = {};
  x.NoteLength = 0;
  y.NoteLength = 0;
  return x.ToBytes() != y.ToBytes();
}

SettingsTimeline::SettingsTimeline(std::span<const recording::RecordIndexEntry> index) {
  for (std::size_t r = 0; r < index.size(); ++r) {
    if (r == 0 || index[r].ParamOffset == index[r].Offset) {
      candidates_.push_back(static_cast<std::int32_t>(r));
    }
  }
}

bool SettingsTimeline::ReadNext(RecordReader& reader) {
  if (Complete()) return false;
  const std::int32_t r = candidates_[next_++];
  recording::ParameterBlock block;
  if (reader.LoadRecord(r) && reader.LoadedBlock(block)) {
    entries_.push_back({r, block.GateALevel, GateSetupFor(block).FollowsCurve,
                        previous_.has_value() && SettingsDiffer(*previous_, block)});
    previous_ = block;
  }
  return true;
}

const SettingsEntry* SettingsTimeline::EntryOf(std::int32_t r) const {
  const auto it = std::lower_bound(entries_.begin(), entries_.end(), r,
                                   [](const SettingsEntry& e, std::int32_t v) { return e.Record < v; });
  return it != entries_.end() && it->Record == r ? &*it : nullptr;
}

// ---------------------------------------------------------------------------
// Gate strip and B-scan

std::vector<GateColumn> GateColumns(const AnalysisResults& results, const OverviewAxis& axis,
                                    const OverviewView& view, std::int32_t width,
                                    const SettingsTimeline* timeline) {
  std::vector<GateColumn> columns(static_cast<std::size_t>(std::max(width, 0)));
  const std::int64_t s = axis.SlotsPerRecord;
  const std::int64_t records = std::min<std::int64_t>(axis.Records, results.IndexedRecords());
  for (std::int32_t x = 0; x < width; ++x) {
    const PixelSpan span = SlotsOfColumn(axis, view, width, x);
    GateColumn& column = columns[static_cast<std::size_t>(x)];
    const std::int64_t lastRecord = std::min((span.End - 1) / s, records - 1);
    for (std::int64_t r = span.First / s; r <= lastRecord; ++r) {
      const auto record = static_cast<std::int32_t>(r);
      if (!results.RecordDone(record)) continue;
      if (column.State == GateColumn::Kind::Pending) {
        column.State = GateColumn::Kind::Empty;
        const std::int32_t blockRecord = results.BlockRecord(record);
        const SettingsEntry* entry =
            timeline != nullptr && blockRecord >= 0 ? timeline->EntryOf(blockRecord) : nullptr;
        if (entry != nullptr && !entry->GateAFollowsCurve) column.Level = entry->GateALevel;
      }
      const std::span<const FrameFigures> frames = results.Frames(record);
      const std::int64_t kEnd = std::min<std::int64_t>(span.End - r * s, frames.size());
      for (std::int64_t k = std::max<std::int64_t>(span.First - r * s, 0); k < kEnd; ++k) {
        const FrameFigures& f = frames[static_cast<std::size_t>(k)];
        column.State = GateColumn::Kind::Figures;
        column.Peak = std::max(column.Peak, f.GateAPeak);
        column.Exceeds = column.Exceeds || f.GateAExceeds;
        column.Below = column.Below || f.GateBBelow;
      }
    }
  }
  return columns;
}

BScanImage OverviewBScan(const AnalysisResults& results, const OverviewAxis& axis,
                         const OverviewView& view, std::int32_t width, std::int32_t height,
                         const FrameAmplitudesOf& framesOf) {
  const auto w = static_cast<std::size_t>(std::max(width, 0));
  std::vector<AmplitudeColumn> held(w);
  std::vector<bool> analysed(w, false);
  const std::int64_t s = axis.SlotsPerRecord;
  const std::int64_t records = std::min<std::int64_t>(axis.Records, results.IndexedRecords());
  for (std::int32_t x = 0; x < width; ++x) {
    const PixelSpan span = SlotsOfColumn(axis, view, width, x);
    AmplitudeColumn& column = held[static_cast<std::size_t>(x)];
    const std::int64_t lastRecord = std::min((span.End - 1) / s, records - 1);
    for (std::int64_t r = span.First / s; r <= lastRecord; ++r) {
      const auto record = static_cast<std::int32_t>(r);
      if (!results.RecordDone(record)) continue;
      analysed[static_cast<std::size_t>(x)] = true;
      const bool whole = span.First <= r * s && (r + 1) * s <= span.End;
      const std::vector<AmplitudeColumn>* frames =
          whole || !framesOf ? nullptr : framesOf(record);
      if (frames == nullptr) {
        Fold(column, results.MaxHold(record));
        continue;
      }
      const std::int64_t kEnd = std::min<std::int64_t>(span.End - r * s, frames->size());
      for (std::int64_t k = std::max<std::int64_t>(span.First - r * s, 0); k < kEnd; ++k) {
        Fold(column, (*frames)[static_cast<std::size_t>(k)]);
      }
    }
  }
  return RasterizeBScan(
      width,
      [&](std::int64_t x) -> const AmplitudeColumn* {
        return analysed[static_cast<std::size_t>(x)] ? &held[static_cast<std::size_t>(x)] : nullptr;
      },
      width, height);
}

std::vector<std::int32_t> RecordsNeedingFrames(const AnalysisResults& results,
                                               const OverviewAxis& axis,
                                               const OverviewView& view, std::int32_t width) {
  std::vector<std::int32_t> needed;
  if (ColumnsCoverRecords(axis, view, width)) return needed;
  const PixelSpan inView = RecordsInView(axis, view);
  const std::int64_t end = std::min<std::int64_t>(inView.End, results.IndexedRecords());
  for (std::int64_t r = inView.First; r < end; ++r) {
    const auto record = static_cast<std::int32_t>(r);
    if (results.RecordDone(record) && results.FramesInRecord(record) > 0) needed.push_back(record);
  }
  return needed;
}

}  // namespace sonalyt::analysis
