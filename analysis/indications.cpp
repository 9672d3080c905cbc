#include "analysis/indications.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <ostream>

#include "display/reference_curve.h"
#include "recording/record_layout.h"

namespace sonalyt::analysis {
namespace {

// The run's frame count from the file-order numbers of its ends.
std::int32_t FrameCount(std::int64_t first, std::int64_t last) {
  return static_cast<std::int32_t>(
      std::min<std::int64_t>(last - first + 1, std::numeric_limits<std::int32_t>::max()));
}

// Feeds every analysed frame of the records done, in file order, up to the
// first record not done yet.
template <typename Visit>
void ForEachFrame(const AnalysisResults& results, Visit visit) {
  for (std::int32_t r = 0; r < results.IndexedRecords(); ++r) {
    if (!results.RecordDone(r)) return;
    const auto frames = results.Frames(r);
    for (std::size_t k = 0; k < frames.size(); ++k) {
      visit(r, static_cast<std::int32_t>(k), frames[k]);
    }
  }
}

std::optional<std::string> NoteInForce(const AnalysisResults& results, std::int32_t record,
                                       std::span<const std::string> noteTexts) {
  const auto& noteRecords = results.NoteRecords();
  for (std::size_t line = noteRecords.size(); line-- > 0;) {
    if (noteRecords[line] <= record) {
      if (line >= noteTexts.size()) return std::nullopt;
      return noteTexts[line];
    }
  }
  return std::nullopt;
}

void PrintOptional(std::ostream* os, const std::optional<double>& value) {
  if (value) {
    *os << *value;
  } else {
    *os << "null";
  }
}

}  // namespace

void PrintTo(const IndicationOptions& o, std::ostream* os) {
  *os << "{MergeGap=" << o.MergeGap << " Threshold=";
  PrintOptional(os, o.Threshold);
  *os << "}";
}

std::string CheckIndicationOptions(const IndicationOptions& options) {
  if (options.MergeGap < 0) {
    return "the merge gap must not be negative: " + std::to_string(options.MergeGap);
  }
  if (options.Threshold &&
      !(*options.Threshold >= 0.0 && *options.Threshold <= kMaxThresholdPercent)) {
    return "the threshold must lie between 0 and 100 percent";
  }
  return {};
}

void PrintTo(const RunSpan& s, std::ostream* os) {
  *os << "{" << s.FirstRecord << ":" << s.FirstFrame << ".." << s.LastRecord << ":" << s.LastFrame
      << " Frames=" << s.Frames << "}";
}

void PrintTo(const FrameRun& run, std::ostream* os) {
  PrintTo(run.Span, os);
  *os << " peak " << run.PeakRecord << ":" << run.PeakFrame << " value " << run.PeakValue
      << " column " << run.PeakColumn;
}

void RunBuilder::Add(std::int32_t record, std::int32_t frame, bool marked, std::int32_t peak,
                     std::int32_t peakColumn) {
  const std::int64_t ordinal = ordinal_++;
  if (!marked) return;
  const std::int64_t gap = ordinal - lastOrdinal_ - 1;
  if (open_ && gap <= std::max(mergeGap_, 0)) {
    FrameRun& run = runs_.back();
    run.Span.LastRecord = record;
    run.Span.LastFrame = frame;
    if (peak > run.PeakValue) {
      run.PeakRecord = record;
      run.PeakFrame = frame;
      run.PeakValue = peak;
      run.PeakColumn = peakColumn;
    }
  } else {
    FrameRun run;
    run.Span = {record, frame, record, frame, 1};
    run.PeakRecord = record;
    run.PeakFrame = frame;
    run.PeakValue = peak;
    run.PeakColumn = peakColumn;
    runs_.push_back(run);
    open_ = true;
    firstOrdinal_ = ordinal;
  }
  lastOrdinal_ = ordinal;
  runs_.back().Span.Frames = FrameCount(firstOrdinal_, lastOrdinal_);
}

std::vector<FrameRun> RunBuilder::Finish() {
  open_ = false;
  return std::move(runs_);
}

void PrintTo(const PeakPosition& p, std::ostream* os) {
  *os << "{SoundPath=" << p.SoundPath << " Depth=" << p.Depth << " Horizontal=" << p.Horizontal
      << (p.InchUnits ? " in" : " mm") << "}";
}

PeakPosition PeakPositionAt(const recording::ParameterBlock& block, std::int32_t column) {
  PeakPosition position;
  position.InchUnits = block.InchUnits();
  const double unitFactor = position.InchUnits ? 100.0 : 1.0;
  const double path = static_cast<double>(display::ScreenStart(block)) +
                      static_cast<double>(column) * static_cast<double>(block.Range) /
                          static_cast<double>(kScreenColumns);
  position.SoundPath = path / (10.0 * unitFactor);
  const double theta = block.ProbeAngle * std::numbers::pi / 1800.0;
  position.Depth = position.SoundPath * std::cos(theta);
  position.Horizontal = position.SoundPath * std::sin(theta);
  return position;
}

void PrintTo(const Indication& i, std::ostream* os) {
  PrintTo(i.Span, os);
  *os << " peak " << i.PeakRecord << ":" << i.PeakFrame << " amplitude " << i.PeakAmplitude
      << "% column " << i.PeakColumn << " dB ";
  PrintOptional(os, i.PeakDbOverThreshold);
  *os << " ";
  PrintTo(i.Peak, os);
  *os << " readouts ";
  display::PrintTo(i.Readouts, os);
  *os << " note " << (i.Note ? "\"" + *i.Note + "\"" : std::string("null"));
}

std::vector<FrameRun> GateARuns(const AnalysisResults& results, const IndicationOptions& options) {
  RunBuilder builder(options.MergeGap);
  if (options.Threshold) {
    // An absolute level replaces every gate A threshold; an amplitude of 0
    // never counts, as with the recorded thresholds.
    const double level = std::max(2.0 * *options.Threshold, 1.0);
    ForEachFrame(results, [&](std::int32_t r, std::int32_t k, const FrameFigures& f) {
      builder.Add(r, k, f.GateAPeak >= level, f.GateAPeak, f.GateAPeakColumn);
    });
  } else {
    ForEachFrame(results, [&](std::int32_t r, std::int32_t k, const FrameFigures& f) {
      builder.Add(r, k, f.GateAExceeds, f.GateAPeak, f.GateAPeakColumn);
    });
  }
  return builder.Finish();
}

std::vector<CouplingLoss> CouplingLossRuns(const AnalysisResults& results,
                                           std::int32_t mergeGap) {
  RunBuilder builder(mergeGap);
  ForEachFrame(results, [&](std::int32_t r, std::int32_t k, const FrameFigures& f) {
    builder.Add(r, k, f.GateBBelow);
  });
  std::vector<CouplingLoss> losses;
  for (const FrameRun& run : builder.Finish()) losses.push_back(run.Span);
  return losses;
}

IndicationList FindIndications(const AnalysisResults& results, const IndicationOptions& options,
                               const BlockLookup& blockOf,
                               std::span<const std::string> noteTexts) {
  IndicationList list;
  list.RecordCount = results.RecordCount();
  list.Options = options;
  for (const FrameRun& run : GateARuns(results, options)) {
    Indication indication;
    indication.Span = run.Span;
    indication.PeakRecord = run.PeakRecord;
    indication.PeakFrame = run.PeakFrame;
    indication.PeakAmplitude = run.PeakValue / 2.0;
    indication.PeakColumn = run.PeakColumn;

    const recording::ParameterBlock block = blockOf(run.PeakRecord);
    double threshold = 0;
    if (options.Threshold) {
      threshold = 2.0 * *options.Threshold;
    } else if (run.PeakColumn >= 0 && run.PeakColumn < kScreenColumns) {
      threshold = GateSetupFor(block).GateAThreshold[static_cast<std::size_t>(run.PeakColumn)];
    }
    // A threshold of 0 (or a curve driven below it) gives no ratio.
    if (threshold > 0 && run.PeakValue > 0) {
      indication.PeakDbOverThreshold = 20.0 * std::log10(run.PeakValue / threshold);
    }
    indication.Peak = PeakPositionAt(block, run.PeakColumn);

    const FrameFigures& figures =
        results.Frames(run.PeakRecord)[static_cast<std::size_t>(run.PeakFrame)];
    recording::FrameReadings readings;
    readings.Reading0 = figures.Reading0;
    readings.Reading1 = figures.Reading1;
    readings.Reading2 = figures.Reading2;
    readings.Reading3 = figures.Reading3;
    indication.Readouts = display::UpdateReadouts(readings, block);
    indication.Note = NoteInForce(results, run.PeakRecord, noteTexts);
    const auto secondsAt = [&results](std::int32_t r, std::int32_t k) {
      return ApproximateSeconds(r, k, results.FramesInRecord(r));
    };
    indication.PeakSeconds = secondsAt(run.PeakRecord, run.PeakFrame);
    indication.DurationSeconds = secondsAt(run.Span.LastRecord, run.Span.LastFrame) -
                                 secondsAt(run.Span.FirstRecord, run.Span.FirstFrame);
    list.Indications.push_back(std::move(indication));
  }
  list.CouplingLosses = CouplingLossRuns(results, options.MergeGap);
  return list;
}

double ApproximateSeconds(std::int32_t record, std::int32_t frame, std::int32_t framesInRecord) {
  return record + frame * recording::PlayIntervalFor(framesInRecord) / 1000.0;
}

GoverningBlocks::GoverningBlocks(std::vector<recording::RecordIndexEntry> index)
    : reader_(std::move(index)) {}

bool GoverningBlocks::Open(const std::string& path, std::string* error) {
  blocks_.clear();
  return reader_.Open(path, error);
}

const recording::ParameterBlock& GoverningBlocks::BlockOf(std::int32_t r) {
  const auto found = blocks_.find(r);
  if (found != blocks_.end()) return found->second;
  return blocks_.emplace(r, reader_.GoverningBlockOf(r).Block).first->second;
}

}  // namespace sonalyt::analysis
