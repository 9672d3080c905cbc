#include "analysis/recording_analysis.h"

#include <algorithm>
#include <cassert>
#include <condition_variable>
#include <system_error>

#include "analysis/record_reader.h"

namespace sonalyt::analysis {
namespace {

constexpr std::uint8_t kDone = 1;
constexpr std::uint8_t kCarriesParameters = 2;

// Records per unit of work: large enough that a worker reads neighbouring
// records through one file window and publishes rarely, small enough that
// the overview fills in smoothly and a cancel is quick.
constexpr std::int32_t kRecordsPerBatch = 64;
// The largest number of frames a record can hold.
constexpr std::int32_t kMaxFramesInRecord = recording::kRecordBufferBytes / recording::kFrameBytes;
// Progress is reported in at most this many steps.
constexpr std::int64_t kProgressSteps = 256;

}  // namespace

RecordingLayout LayoutOf(const recording::RecordingFile& file) {
  return {file.RecordCount(), file.RecordIndex(), file.NoteRecords()};
}

AnalysisResults::AnalysisResults(RecordingLayout layout, std::int32_t recordsPerBatch)
    : layout_(std::move(layout)), recordsPerBatch_(std::max(1, recordsPerBatch)) {
  const auto n = static_cast<std::size_t>(IndexedRecords());
  records_ = std::make_unique<RecordSlot[]>(n);
  const std::size_t batches = (n + static_cast<std::size_t>(recordsPerBatch_) - 1) /
                              static_cast<std::size_t>(recordsPerBatch_);
  batchFrames_ = std::make_unique<std::unique_ptr<FrameFigures[]>[]>(batches);
}

AnalysisResults::~AnalysisResults() = default;

std::int32_t AnalysisResults::GoverningRecord(std::int32_t r) const {
  const auto& entry = layout_.Index[static_cast<std::size_t>(r)];
  const std::int32_t g = RecordAtOffset(layout_.Index, entry.ParamOffset);
  return g < 0 ? r : g;
}

bool AnalysisResults::RecordDone(std::int32_t r) const {
  if (r < 0 || r >= IndexedRecords()) return false;
  return (records_[static_cast<std::size_t>(r)].Flags.load(std::memory_order_acquire) & kDone) != 0;
}

std::int32_t AnalysisResults::FramesInRecord(std::int32_t r) const {
  return records_[static_cast<std::size_t>(r)].Frames;
}

std::span<const FrameFigures> AnalysisResults::Frames(std::int32_t r) const {
  const RecordSlot& slot = records_[static_cast<std::size_t>(r)];
  if (slot.Frames == 0) return {};
  const FrameFigures* batch = batchFrames_[static_cast<std::size_t>(r / recordsPerBatch_)].get();
  return {batch + slot.FirstFrameInBatch, slot.Frames};
}

const AmplitudeColumn& AnalysisResults::MaxHold(std::int32_t r) const {
  return records_[static_cast<std::size_t>(r)].MaxHold;
}

bool AnalysisResults::CarriesParameters(std::int32_t r) const {
  return (records_[static_cast<std::size_t>(r)].Flags.load(std::memory_order_relaxed) &
          kCarriesParameters) != 0;
}

std::int32_t AnalysisResults::BlockRecord(std::int32_t r) const {
  return records_[static_cast<std::size_t>(r)].BlockRecord;
}

std::int64_t AnalysisResults::MemoryBytes() const {
  std::int64_t bytes = sizeof(*this);
  bytes += static_cast<std::int64_t>(layout_.Index.capacity() * sizeof(recording::RecordIndexEntry));
  bytes += static_cast<std::int64_t>(layout_.NoteRecords.capacity() * sizeof(std::int32_t));
  bytes += static_cast<std::int64_t>(IndexedRecords()) * static_cast<std::int64_t>(sizeof(RecordSlot));
  const std::int32_t batches = (IndexedRecords() + recordsPerBatch_ - 1) / recordsPerBatch_;
  bytes += static_cast<std::int64_t>(batches) * static_cast<std::int64_t>(sizeof(void*));
  for (std::int32_t batch = 0; batch < batches; ++batch) {
    const std::int32_t first = batch * recordsPerBatch_;
    const std::int32_t end = std::min(first + recordsPerBatch_, IndexedRecords());
    if (!RecordDone(end - 1)) continue;
    for (std::int32_t r = first; r < end; ++r) {
      bytes += static_cast<std::int64_t>(FramesInRecord(r)) *
               static_cast<std::int64_t>(sizeof(FrameFigures));
    }
  }
  return bytes;
}

void AnalysisResults::PublishBatch(std::int32_t first, std::span<const RecordFigures> records,
                                   std::span<const std::uint8_t> frameCounts,
                                   std::span<const FrameFigures> frames) {
  assert(first % recordsPerBatch_ == 0);
  assert(records.size() == frameCounts.size());
  auto& batch = batchFrames_[static_cast<std::size_t>(first / recordsPerBatch_)];
  if (!frames.empty()) {
    batch = std::make_unique<FrameFigures[]>(frames.size());
    std::copy(frames.begin(), frames.end(), batch.get());
  }
  std::size_t frameInBatch = 0;
  for (std::size_t i = 0; i < records.size(); ++i) {
    RecordSlot& slot = records_[static_cast<std::size_t>(first) + i];
    slot.MaxHold = records[i].MaxHold;
    slot.BlockRecord = records[i].BlockRecord;
    slot.FirstFrameInBatch = static_cast<std::uint16_t>(frameInBatch);
    slot.Frames = frameCounts[i];
    frameInBatch += frameCounts[i];
    slot.Flags.store(
        static_cast<std::uint8_t>(kDone | (records[i].CarriesParameters ? kCarriesParameters : 0)),
        std::memory_order_release);
  }
  recordsDone_.fetch_add(static_cast<std::int32_t>(records.size()), std::memory_order_acq_rel);
}

void AnalysisResults::SetState(PassState state, std::string error) {
  PassState running = PassState::Running;
  // The first end wins; the error is written before the state that publishes it.
  if (state_.load(std::memory_order_acquire) != PassState::Running) return;
  if (state == PassState::Failed) error_ = std::move(error);
  state_.compare_exchange_strong(running, state, std::memory_order_acq_rel);
}

// One pass: its options, its threads and its results.
struct RecordingAnalysis::Pass {
  std::string Path;
  Options Opts;
  std::atomic<bool> CancelRequested{false};
  std::atomic<std::int32_t> NextBatch{0};
  std::atomic<std::int32_t> ActiveWorkers{0};
  std::mutex ProgressMutex;
  std::int64_t ReportedStep = -1;  // under ProgressMutex
  std::mutex ResultsMutex;
  std::shared_ptr<AnalysisResults> Results;
  std::mutex ErrorMutex;  // serialises the one Failed transition
  std::vector<std::thread> Threads;
  std::thread Coordinator;
};

namespace {

// Figures of the records of one batch, collected before they are published.
struct BatchWork {
  std::vector<AnalysisResults::RecordFigures> Records;
  std::vector<std::uint8_t> FrameCounts;
  std::vector<FrameFigures> Frames;
};

// What a worker keeps from record to record: the gate setup of the block
// in force, and which block the records of the last governing record get.
struct WorkerState {
  std::int32_t SetupRecord = -2;  // block record of Setup; -2: none yet
  GateSetup Setup;
  std::int32_t GovernedParamOffset = -1;  // ParamOffset of the last governed record
  std::int32_t GovernedBlockRecord = -1;  // ... and the block it got
};

// Analyses records [first, end) with reader into work.
void AnalyzeBatch(RecordReader& reader, std::int32_t first, std::int32_t end,
                  const std::atomic<bool>& cancel, BatchWork& work, WorkerState& worker) {
  work.Records.clear();
  work.FrameCounts.clear();
  work.Frames.clear();
  recording::ParameterBlock block{};
  for (std::int32_t r = first; r < end; ++r) {
    if (cancel.load(std::memory_order_relaxed)) return;
    AnalysisResults::RecordFigures figures;
    std::uint8_t frames = 0;
    if (reader.LoadRecord(r)) {
      figures.CarriesParameters = reader.LoadedCarriesParameters();
      // The jump's parameter copy: the record's own block, else its
      // governing record's, else zero.
      const recording::RecordIndexEntry& entry = reader.Index()[static_cast<std::size_t>(r)];
      std::int32_t blockRecord = -1;
      bool haveBlock = false;
      if (reader.LoadedBlock(block)) {
        blockRecord = r;
        haveBlock = true;
      } else if (entry.ParamOffset == entry.Offset) {
        blockRecord = -1;  // its own governing record, without a block
      } else if (entry.ParamOffset == worker.GovernedParamOffset) {
        blockRecord = worker.GovernedBlockRecord;
      } else {
        const GoverningBlock governing = reader.GoverningBlockOf(r);
        blockRecord = governing.BlockRecord;
        block = governing.Block;
        haveBlock = true;
        worker.GovernedParamOffset = entry.ParamOffset;
        worker.GovernedBlockRecord = blockRecord;
      }
      figures.BlockRecord = blockRecord;
      if (blockRecord != worker.SetupRecord) {
        if (blockRecord < 0) {
          block = recording::ParameterBlock{};
        } else if (!haveBlock) {
          block = reader.GoverningBlockOf(r).Block;
        }
        worker.Setup = GateSetupFor(block);
        worker.SetupRecord = blockRecord;
      }
      const std::int32_t count = std::min(reader.FramesInRecord(), kMaxFramesInRecord);
      frames = static_cast<std::uint8_t>(count);
      for (std::int32_t k = 0; k < count; ++k) {
        work.Frames.push_back(AnalyzeFrame(worker.Setup, reader.Frame(k), &figures.MaxHold));
      }
    } else {
      // Unreadable now (the file changed since it was indexed): no frames.
      figures.BlockRecord = -1;
    }
    work.Records.push_back(figures);
    work.FrameCounts.push_back(frames);
  }
}

}  // namespace

namespace {

// Reports the records done when they reach a further step; one report at a
// time, so the counts arrive in increasing order.
void ReportProgress(RecordingAnalysis::Options& opts, std::mutex& mutex, std::int64_t& reportedStep,
                    const AnalysisResults& results) {
  if (!opts.Progress) return;
  std::lock_guard lock(mutex);
  const std::int32_t total = results.IndexedRecords();
  const std::int32_t done = results.RecordsDone();
  const std::int64_t step = total <= 0 ? kProgressSteps : std::int64_t{done} * kProgressSteps / total;
  if (step <= reportedStep) return;
  reportedStep = step;
  opts.Progress(done, total);
}

}  // namespace

RecordingAnalysis::RecordingAnalysis() = default;

RecordingAnalysis::~RecordingAnalysis() { Cancel(); }

std::shared_ptr<const AnalysisResults> RecordingAnalysis::Results() const {
  if (!pass_) return nullptr;
  std::lock_guard lock(pass_->ResultsMutex);
  return pass_->Results;
}

void RecordingAnalysis::Wait() {
  if (!pass_) return;
  if (pass_->Coordinator.joinable()) pass_->Coordinator.join();
  for (auto& t : pass_->Threads) {
    if (t.joinable()) t.join();
  }
}

void RecordingAnalysis::Cancel() {
  if (!pass_) return;
  pass_->CancelRequested.store(true, std::memory_order_relaxed);
  Wait();
  std::lock_guard lock(pass_->ResultsMutex);
  if (pass_->Results) pass_->Results->SetState(PassState::Cancelled);
}

void RecordingAnalysis::Start(const std::string& path, std::optional<RecordingLayout> layout,
                              Options options) {
  Cancel();
  auto pass = std::make_shared<Pass>();
  pass->Path = path;
  pass->Opts = std::move(options);
  std::int32_t threads = pass->Opts.Threads;
  if (threads <= 0) threads = static_cast<std::int32_t>(std::max(1u, std::thread::hardware_concurrency()));
  pass_ = pass;

  // `count` workers stopped (or never started); the last of all to stop
  // ends the pass.
  const auto workersStopped = [](Pass* p, AnalysisResults& results, std::int32_t count) {
    if (p->ActiveWorkers.fetch_sub(count, std::memory_order_acq_rel) != count) return;
    if (!p->CancelRequested.load(std::memory_order_relaxed) &&
        results.RecordsDone() == results.IndexedRecords()) {
      results.SetState(PassState::Complete);
    }
    const PassState state = results.State();
    if (state != PassState::Running && state != PassState::Cancelled && p->Opts.Finished) {
      p->Opts.Finished(state);
    }
  };

  // Each worker takes the next batch until none is left.
  const auto worker = [workersStopped](Pass* p) {
    std::shared_ptr<AnalysisResults> results;
    {
      std::lock_guard lock(p->ResultsMutex);
      results = p->Results;
    }
    RecordReader reader(results);
    std::string error;
    if (!reader.Open(p->Path, &error)) {
      std::lock_guard lock(p->ErrorMutex);
      results->SetState(PassState::Failed, error);
      p->CancelRequested.store(true, std::memory_order_relaxed);
    }
    BatchWork work;
    WorkerState workerState;
    const std::int32_t total = results->IndexedRecords();
    while (!p->CancelRequested.load(std::memory_order_relaxed)) {
      const std::int32_t batch = p->NextBatch.fetch_add(1, std::memory_order_relaxed);
      const std::int64_t first = std::int64_t{batch} * kRecordsPerBatch;
      if (first >= total) break;
      const auto end = static_cast<std::int32_t>(std::min<std::int64_t>(first + kRecordsPerBatch, total));
      AnalyzeBatch(reader, static_cast<std::int32_t>(first), end, p->CancelRequested, work,
                   workerState);
      if (p->CancelRequested.load(std::memory_order_relaxed)) break;
      results->PublishBatch(static_cast<std::int32_t>(first), work.Records, work.FrameCounts,
                            work.Frames);
      ReportProgress(p->Opts, p->ProgressMutex, p->ReportedStep, *results);
    }
    workersStopped(p, *results, 1);
  };

  const auto launch = [worker, workersStopped, threads](Pass* p, RecordingLayout ready) {
    {
      std::lock_guard lock(p->ResultsMutex);
      p->Results = std::make_shared<AnalysisResults>(std::move(ready), kRecordsPerBatch);
    }
    if (p->Opts.Progress) {
      p->ReportedStep = 0;
      p->Opts.Progress(0, p->Results->IndexedRecords());
    }
    p->ActiveWorkers.store(threads, std::memory_order_relaxed);
    p->Threads.reserve(static_cast<std::size_t>(threads));
    std::int32_t started = 0;
    try {
      for (; started < threads; ++started) p->Threads.emplace_back(worker, p);
    } catch (const std::system_error&) {
      // Fewer threads than asked for: the workers that run take every batch
      // between them. Without any, the pass fails instead of ending the
      // program.
      if (started == 0) {
        std::lock_guard lock(p->ErrorMutex);
        p->Results->SetState(PassState::Failed, "no thread to analyse the recording in");
      }
      workersStopped(p, *p->Results, threads - started);
    }
  };

  if (layout) {
    launch(pass.get(), std::move(*layout));
    return;
  }
  pass->Coordinator = std::thread([launch](Pass* p) {
    recording::RecordingFile file;
    std::string error;
    if (!file.OpenRecording(p->Path, &error)) {
      {
        std::lock_guard lock(p->ResultsMutex);
        p->Results = std::make_shared<AnalysisResults>(RecordingLayout{}, kRecordsPerBatch);
        p->Results->SetState(PassState::Failed, error);
      }
      if (p->Opts.Finished) p->Opts.Finished(PassState::Failed);
      return;
    }
    if (p->CancelRequested.load(std::memory_order_relaxed)) return;
    launch(p, LayoutOf(file));
  }, pass.get());
}

std::shared_ptr<const AnalysisResults> AnalyzeRecording(const std::string& path,
                                                        std::optional<RecordingLayout> layout,
                                                        std::int32_t threads, std::string* error) {
  RecordingAnalysis analysis;
  RecordingAnalysis::Options options;
  options.Threads = threads;
  analysis.Start(path, std::move(layout), std::move(options));
  analysis.Wait();
  auto results = analysis.Results();
  if (!results || results->State() == PassState::Failed) {
    if (error) *error = results ? results->Error() : "cannot analyse " + path;
    return nullptr;
  }
  if (error) error->clear();
  return results;
}

}  // namespace sonalyt::analysis
