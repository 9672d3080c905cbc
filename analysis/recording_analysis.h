// The whole-recording pass: every frame of every indexed record analysed in
// the background by a pool of worker threads, each with its own file
// handle, decoder working set and buffers, so the viewer's session is never
// touched. Results are readable while the pass runs (the records done so
// far) and complete at its end.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "analysis/frame_figures.h"
#include "recording/recording_file.h"

namespace sonalyt::analysis {

// What the pass needs of an opened recording. LayoutOf copies it from a
// scanned RecordingFile, so a front end that has just opened the file
// spares the pass a second scan.
struct RecordingLayout {
  std::int32_t RecordCount = 0;  // as read from the file (what `info` prints)
  std::vector<recording::RecordIndexEntry> Index;
  std::vector<std::int32_t> NoteRecords;
};
RecordingLayout LayoutOf(const recording::RecordingFile& file);

enum class PassState : std::uint8_t {
  Running,    // records are still being analysed
  Complete,   // every indexed record is done
  Cancelled,  // stopped by Cancel, a new Start or the destruction of the pass
  Failed,     // the file could not be opened or read (see Error())
};

// The results of one pass.
//
// Thread-safety contract: an AnalysisResults is shared (std::shared_ptr)
// between the pass's workers and any number of readers on any threads, and
// stays valid as long as a reader holds it, even after the pass was
// cancelled or replaced by a new one. Everything set before the pass starts
// (the layout: RecordCount, Index, NoteRecords, IndexedRecords,
// GoverningRecord) never changes. Each record's own figures (FramesInRecord,
// Frames, MaxHold, CarriesParameters, BlockRecord) are written once by one
// worker and published by RecordDone(r): once RecordDone(r) has returned
// true on a thread, that thread may read them without further
// synchronisation and they never change again. Reading them before
// RecordDone(r) is true is not allowed. RecordsDone, State and Error may be
// read at any time.
class AnalysisResults {
 public:
  AnalysisResults(RecordingLayout layout, std::int32_t recordsPerBatch);
  ~AnalysisResults();
  AnalysisResults(const AnalysisResults&) = delete;
  AnalysisResults& operator=(const AnalysisResults&) = delete;

  std::int32_t RecordCount() const { return layout_.RecordCount; }
  std::int32_t IndexedRecords() const { return static_cast<std::int32_t>(layout_.Index.size()); }
  const std::vector<recording::RecordIndexEntry>& Index() const { return layout_.Index; }
  const std::vector<std::int32_t>& NoteRecords() const { return layout_.NoteRecords; }
  // The index's governing record of r: the most recent record at or before
  // r that carries a parameter area (record 0 itself when none does).
  std::int32_t GoverningRecord(std::int32_t r) const;

  // Acquire: true once record r's figures are complete (see the contract).
  bool RecordDone(std::int32_t r) const;
  std::int32_t RecordsDone() const { return recordsDone_.load(std::memory_order_acquire); }
  PassState State() const { return state_.load(std::memory_order_acquire); }
  // Why the pass failed; empty otherwise. Read it only when State() is Failed.
  const std::string& Error() const { return error_; }

  // Only once RecordDone(r):
  std::int32_t FramesInRecord(std::int32_t r) const;
  std::span<const FrameFigures> Frames(std::int32_t r) const;
  // Per-column maximum of the amplitude over the record's frames (all zero
  // for a record without frames).
  const AmplitudeColumn& MaxHold(std::int32_t r) const;
  // The record's header has a ParamLength other than 0.
  bool CarriesParameters(std::int32_t r) const;
  // The record whose parameter block governs r after a jump to it (r
  // itself, or its governing record), or -1 when the zero block does; see
  // RecordReader::GoverningBlockOf for the block itself.
  std::int32_t BlockRecord(std::int32_t r) const;

  // Bytes this object holds on the heap and in itself.
  std::int64_t MemoryBytes() const;

  // --- Written by the pass only.
  struct RecordFigures {
    std::int32_t BlockRecord = -1;
    bool CarriesParameters = false;
    AmplitudeColumn MaxHold{};
  };
  // Publishes a batch: records first .. first + figures.size() - 1 with
  // their frames, one run per record in record order (frameCounts[i] frames
  // for record first + i).
  void PublishBatch(std::int32_t first, std::span<const RecordFigures> records,
                    std::span<const std::uint8_t> frameCounts,
                    std::span<const FrameFigures> frames);
  void SetState(PassState state, std::string error = {});

 private:
  struct RecordSlot {
    AmplitudeColumn MaxHold{};
    std::int32_t BlockRecord = -1;
    std::uint16_t FirstFrameInBatch = 0;
    std::uint8_t Frames = 0;
    std::atomic<std::uint8_t> Flags{0};  // kDone | kCarriesParameters
  };
  RecordingLayout layout_;
  std::int32_t recordsPerBatch_;
  std::unique_ptr<RecordSlot[]> records_;
  std::unique_ptr<std::unique_ptr<FrameFigures[]>[]> batchFrames_;
  std::atomic<std::int32_t> recordsDone_{0};
  std::atomic<PassState> state_{PassState::Running};
  std::string error_;
};

// Runs passes, one at a time. Start, Cancel, Wait and Results are called
// from the one thread that owns the object (the user-interface thread);
// the callbacks run on worker threads.
class RecordingAnalysis {
 public:
  struct Options {
    // Worker threads; 0: one per core.
    std::int32_t Threads = 0;
    // Called on a worker thread with (records done, records indexed) once
    // the index is known and after every batch of records; the caller
    // marshals to its own thread. Must not call Start or Cancel.
    std::function<void(std::int32_t done, std::int32_t total)> Progress;
    // Called once on a worker thread when the pass ends by itself (Complete
    // or Failed); not for a cancelled pass. Must not call Start or Cancel.
    std::function<void(PassState state)> Finished;
  };

  RecordingAnalysis();
  // Cancels the pass under way.
  ~RecordingAnalysis();
  RecordingAnalysis(const RecordingAnalysis&) = delete;
  RecordingAnalysis& operator=(const RecordingAnalysis&) = delete;

  // Cancels the pass under way, then starts one over the recording at path.
  // With a layout (LayoutOf the file just opened) the pass starts at once;
  // without, it scans the file first on its own. Returns at once; Results()
  // is set before it returns when a layout is given, else once the scan has
  // built the index.
  void Start(const std::string& path, std::optional<RecordingLayout> layout, Options options);

  // Stops the pass under way and waits for its threads: each finishes the
  // record in hand (and a scan under way). After Cancel returns no callback
  // of that pass runs any more. Harmless without a pass.
  void Cancel();

  // Blocks until the pass under way has ended by itself or was cancelled.
  void Wait();

  // The results of the pass started last (null before the first Start, and
  // until its index is known). See AnalysisResults for what may be read.
  std::shared_ptr<const AnalysisResults> Results() const;

 private:
  struct Pass;
  std::shared_ptr<Pass> pass_;
};

// The whole pass on the calling thread with `threads` workers, waiting for
// the end: for the command-line tool and tests. Null results when the file
// cannot be opened, with the reason in *error.
std::shared_ptr<const AnalysisResults> AnalyzeRecording(const std::string& path,
                                                        std::optional<RecordingLayout> layout,
                                                        std::int32_t threads,
                                                        std::string* error = nullptr);

}  // namespace sonalyt::analysis
