// Indications and coupling losses: the per-frame gate figures of the
// whole-recording pass turned into the list an inspector works through.
//
// A gate A indication is a maximal run of consecutive analysed frames (file
// order: record by record, frame by frame) whose gate A is exceeded, where
// two runs separated by at most MergeGap frames without an exceedance are
// one indication. A coupling loss is the same construction on the frames
// where the echo gate B watches is missing. Each indication is measured at
// its peak frame with the parameter block a jump to that frame applies.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "analysis/recording_analysis.h"
#include "analysis/record_reader.h"
#include "display/readouts.h"
#include "recording/parameter_block.h"

namespace sonalyt::analysis {

// About half a second of recording.
inline constexpr std::int32_t kDefaultMergeGap = 13;
// The absolute threshold is given in percent of full picture height.
inline constexpr double kMaxThresholdPercent = 100.0;

struct IndicationOptions {
  // Frames without the condition that may lie inside one indication; 0
  // merges nothing.
  std::int32_t MergeGap = kDefaultMergeGap;
  // Absolute gate A threshold in percent of full height (0..100): replaces
  // every gate A threshold by 2 * Threshold height units. None: the
  // recorded thresholds (the level, or the gate curve).
  std::optional<double> Threshold;

  bool operator==(const IndicationOptions&) const = default;
};
void PrintTo(const IndicationOptions& options, std::ostream* os);

// Empty when the options can be used; otherwise why not, in one line.
std::string CheckIndicationOptions(const IndicationOptions& options);

// A run of frames, first and last inclusive.
struct RunSpan {
  std::int32_t FirstRecord = 0;
  std::int32_t FirstFrame = 0;
  std::int32_t LastRecord = 0;
  std::int32_t LastFrame = 0;
  // Frames from first to last inclusive, merged gaps included.
  std::int32_t Frames = 0;

  bool operator==(const RunSpan&) const = default;
};
void PrintTo(const RunSpan& span, std::ostream* os);

// A coupling loss carries its span only.
using CouplingLoss = RunSpan;

// A merged run with its peak frame: the marked frame with the largest
// GateAPeak, the earliest on ties.
struct FrameRun {
  RunSpan Span;
  std::int32_t PeakRecord = 0;
  std::int32_t PeakFrame = 0;
  std::int32_t PeakValue = 0;   // GateAPeak of the peak frame, height units (200 = full)
  std::int32_t PeakColumn = -1; // GateAPeakColumn of the peak frame

  bool operator==(const FrameRun&) const = default;
};
void PrintTo(const FrameRun& run, std::ostream* os);

// Builds merged runs from frames fed in file order.
class RunBuilder {
 public:
  explicit RunBuilder(std::int32_t mergeGap) : mergeGap_(mergeGap) {}

  // The next frame in file order; marked frames make up the runs.
  void Add(std::int32_t record, std::int32_t frame, bool marked, std::int32_t peak = 0,
           std::int32_t peakColumn = -1);
  // The runs found; the builder is spent afterwards.
  std::vector<FrameRun> Finish();

 private:
  std::int32_t mergeGap_;
  std::vector<FrameRun> runs_;
  bool open_ = false;
  std::int64_t ordinal_ = 0;      // file-order number of the next frame
  std::int64_t firstOrdinal_ = 0; // of the open run's first frame
  std::int64_t lastOrdinal_ = 0;  // of the open run's last marked frame
};

// Where the peak echo lies, from the block in force at the peak frame: the
// sound path at the peak column and its depth and horizontal components.
// Millimetres, or inches when the block has InchUnits.
struct PeakPosition {
  double SoundPath = 0;
  double Depth = 0;
  double Horizontal = 0;
  bool InchUnits = false;

  bool operator==(const PeakPosition&) const = default;
};
void PrintTo(const PeakPosition& position, std::ostream* os);

// Sound path at column: ScreenStart (as the reference curves compute it) + column * Range / 280 (the second term
// not truncated), divided by 10 * UnitFactor; depth and horizontal distance
// by the cosine and sine of ProbeAngle.
PeakPosition PeakPositionAt(const recording::ParameterBlock& block, std::int32_t column);

struct Indication {
  RunSpan Span;
  std::int32_t PeakRecord = 0;
  std::int32_t PeakFrame = 0;
  double PeakAmplitude = 0;  // percent of full height: GateAPeak / 2
  std::int32_t PeakColumn = 0;
  // 20 log10(GateAPeak / threshold at PeakColumn); none when that threshold is 0.
  std::optional<double> PeakDbOverThreshold;
  PeakPosition Peak;  // PeakSoundPath, PeakDepth, PeakHorizontal and their unit
  // The four readout texts the viewer shows for the peak frame.
  display::ReadoutTexts Readouts;
  // The note in force at the peak: the text of the last note whose record
  // is at or before PeakRecord; none before the first note.
  std::optional<std::string> Note;
  // Approximate times at one record per second, as playback paces it
  // (ApproximateSeconds): of the peak frame, and from the first frame to the last.
  double PeakSeconds = 0;
  double DurationSeconds = 0;

  bool operator==(const Indication&) const = default;
};
void PrintTo(const Indication& indication, std::ostream* os);

struct IndicationList {
  std::int32_t RecordCount = 0;  // as the file states it
  IndicationOptions Options;
  std::vector<Indication> Indications;
  std::vector<CouplingLoss> CouplingLosses;

  bool operator==(const IndicationList&) const = default;
};

// Approximate time of frame k of record r in seconds at one record per
// second, as playback paces it: r + k * PlayInterval / 1000, with the
// interval of a record of framesInRecord frames.
double ApproximateSeconds(std::int32_t record, std::int32_t frame, std::int32_t framesInRecord);

// The parameter block in force for record r after a jump to it.
using BlockLookup = std::function<recording::ParameterBlock(std::int32_t record)>;

// The gate A runs and coupling-loss runs of every analysed frame of the
// records done (all of them once the pass is complete). No file access.
std::vector<FrameRun> GateARuns(const AnalysisResults& results, const IndicationOptions& options);
std::vector<CouplingLoss> CouplingLossRuns(const AnalysisResults& results,
                                           std::int32_t mergeGap);

// The whole list. blockOf gives the block in force at a peak record;
// noteTexts are the recording's note texts, one per NoteRecords entry, in
// the encoding the caller wants to show (the front ends pass UTF-8).
IndicationList FindIndications(const AnalysisResults& results, const IndicationOptions& options,
                               const BlockLookup& blockOf,
                               std::span<const std::string> noteTexts);

// The blocks a jump applies, read from the file with a reader of its own
// and kept by the record they come from, so that each is decoded once.
class GoverningBlocks {
 public:
  explicit GoverningBlocks(std::vector<recording::RecordIndexEntry> index);
  bool Open(const std::string& path, std::string* error = nullptr);
  // The block in force after a jump to record r (zero block when none).
  const recording::ParameterBlock& BlockOf(std::int32_t r);
  BlockLookup Lookup() {
    return [this](std::int32_t r) { return BlockOf(r); };
  }

 private:
  RecordReader reader_;
  std::map<std::int32_t, recording::ParameterBlock> blocks_;  // by record
};

}  // namespace sonalyt::analysis
