// The whole-recording pass: agreement with what a jump in the viewer shows,
// parallel against single-threaded, cancellation and reopening, damaged
// files and the memory bound.

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "analysis/record_reader.h"
#include "analysis/recording_analysis.h"
#include "analysis_test_data.h"
#include "display/recording_canvas.h"
#include "recording/recording_file.h"
#include "session/viewer_session.h"

namespace sonalyt::analysis {
namespace {

using testing_data::WriteRepeatedRecording;
using testing_data::WriteVariedRecording;

std::shared_ptr<const AnalysisResults> Analyze(const std::string& path, std::int32_t threads) {
  std::string error;
  auto results = AnalyzeRecording(path, std::nullopt, threads, &error);
  EXPECT_TRUE(results) << error;
  return results;
}

// Everything the pass found for record r, as comparable values.
struct RecordResult {
  std::vector<FrameFigures> Frames;
  AmplitudeColumn MaxHold{};
  bool CarriesParameters = false;
  std::int32_t BlockRecord = -1;
  std::int32_t GoverningRecord = -1;
  bool operator==(const RecordResult&) const = default;
};
void PrintTo(const RecordResult& r, std::ostream* os) {
  *os << "{frames=" << r.Frames.size() << " carries=" << r.CarriesParameters
      << " block=" << r.BlockRecord << " governing=" << r.GoverningRecord << "}";
}

RecordResult ResultOf(const AnalysisResults& results, std::int32_t r) {
  const auto frames = results.Frames(r);
  return {{frames.begin(), frames.end()}, results.MaxHold(r), results.CarriesParameters(r),
          results.BlockRecord(r), results.GoverningRecord(r)};
}

void ExpectSameResults(const AnalysisResults& a, const AnalysisResults& b) {
  ASSERT_EQ(a.IndexedRecords(), b.IndexedRecords());
  ASSERT_EQ(a.RecordCount(), b.RecordCount());
  for (std::int32_t r = 0; r < a.IndexedRecords(); ++r) {
    ASSERT_TRUE(a.RecordDone(r) && b.RecordDone(r)) << "record " << r;
    ASSERT_EQ(ResultOf(a, r), ResultOf(b, r)) << "record " << r;
    // Byte for byte, padding aside: the figures as stored.
    const auto fa = a.Frames(r);
    const auto fb = b.Frames(r);
    for (std::size_t k = 0; k < fa.size(); ++k) {
      ASSERT_EQ(std::memcmp(&fa[k].Reading0, &fb[k].Reading0, 16), 0);
    }
  }
}

TEST(RecordingAnalysis, EveryRecordShowsWhatAJumpToItLeaves) {
  const std::string path = WriteVariedRecording("analysis_jump.dat", 30);
  const auto results = Analyze(path, 2);
  ASSERT_TRUE(results);
  ASSERT_EQ(results->State(), PassState::Complete);
  recording::RecordingFile file;
  ASSERT_TRUE(file.OpenRecording(path));
  ASSERT_EQ(results->IndexedRecords(), static_cast<std::int32_t>(file.RecordIndex().size()));
  ASSERT_EQ(results->RecordCount(), file.RecordCount());
  EXPECT_EQ(results->NoteRecords(), file.NoteRecords());
  RecordReader reader(file.RecordIndex());
  ASSERT_TRUE(reader.Open(path));
  // A reader over the index of the pass's results, as the overview makes one.
  RecordReader resultsReader(results);
  ASSERT_TRUE(resultsReader.Open(path));

  for (std::int32_t r = 0; r < results->IndexedRecords(); ++r) {
    SCOPED_TRACE("record " + std::to_string(r));
    // The viewer's jump to the record, from the all-zero copy.
    session::ViewerSession session;
    ASSERT_TRUE(session.OpenRecording(path));
    display::RecordingCanvas wave(306, 245);
    session.JumpTo(r, 0, wave);
    const recording::ParameterBlock& shown = session.ParameterCopy();
    if (session.FramesInRecord() > 0) {
      const FrameFigures& first = results->Frames(r)[0];
      EXPECT_EQ(session.FrameReadings().Reading0, first.Reading0);
      EXPECT_EQ(session.FrameReadings().Reading3, first.Reading3);
    }

    const GoverningBlock governing = reader.GoverningBlockOf(r);
    EXPECT_EQ(governing.Block, shown);
    EXPECT_EQ(resultsReader.GoverningBlockOf(r), governing);
    EXPECT_EQ(results->BlockRecord(r), governing.BlockRecord);
    EXPECT_EQ(results->GoverningRecord(r),
              RecordAtOffset(file.RecordIndex(), file.RecordIndex()[static_cast<std::size_t>(r)].ParamOffset));
    EXPECT_EQ(results->CarriesParameters(r), session.File().ParamLength() != 0);

    const GateSetup setup = GateSetupFor(shown);
    std::vector<FrameFigures> expected;
    AmplitudeColumn held{};
    for (std::int32_t k = 0; k < session.FramesInRecord(); ++k) {
      expected.push_back(AnalyzeFrame(setup, session.File().Frame(k), &held));
    }
    const auto frames = results->Frames(r);
    EXPECT_EQ(std::vector<FrameFigures>(frames.begin(), frames.end()), expected);
    EXPECT_EQ(results->MaxHold(r), held);

    // The on-demand decode of the overview gives the same amplitudes.
    std::vector<AmplitudeColumn> columns;
    ASSERT_TRUE(reader.RecordAmplitudes(r, columns));
    ASSERT_EQ(static_cast<std::int32_t>(columns.size()), session.FramesInRecord());
    for (std::int32_t k = 0; k < session.FramesInRecord(); ++k) {
      EXPECT_EQ(columns[static_cast<std::size_t>(k)], FrameAmplitudes(setup, session.File().Frame(k)));
    }
  }
}

TEST(RecordingAnalysis, GoverningBlocksOfTheRecordKinds) {
  const std::string path = WriteVariedRecording("analysis_governing.dat", 12);
  const auto results = Analyze(path, 1);
  ASSERT_TRUE(results);
  struct Case { std::int32_t record; std::int32_t blockRecord; std::int32_t governingRecord; bool carries; };
  const Case cases[] = {
      {0, -1, 0, false},  // record 0 without parameters: the zero block
      {1, 1, 1, true},    {2, 1, 1, false},
      {3, -1, 3, true},   // a parameter area too short for a block applies none
      {4, -1, 3, false},  // ... and governs the next records with the zero block
      {5, 5, 5, true},    {6, 5, 5, false},  {7, 5, 5, false},
      {8, 8, 8, true},    {9, 8, 8, false},  {11, 11, 11, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("record " + std::to_string(c.record));
    EXPECT_EQ(results->BlockRecord(c.record), c.blockRecord);
    EXPECT_EQ(results->GoverningRecord(c.record), c.governingRecord);
    EXPECT_EQ(results->CarriesParameters(c.record), c.carries);
  }
  EXPECT_EQ(results->FramesInRecord(6), 0);
  EXPECT_EQ(results->FramesInRecord(7), 2) << "the whole frames before the corrupt code";
}

TEST(RecordingAnalysis, ParallelPassEqualsSingleThreaded) {
  const std::string path = WriteRepeatedRecording("analysis_parallel.dat", 20, 40);
  const auto single = Analyze(path, 1);
  const auto parallel = Analyze(path, 4);
  ASSERT_TRUE(single && parallel);
  EXPECT_EQ(single->IndexedRecords(), 800);
  ExpectSameResults(*single, *parallel);

  // Given the layout of the file just opened, the pass skips its own scan.
  recording::RecordingFile file;
  ASSERT_TRUE(file.OpenRecording(path));
  const auto withLayout = AnalyzeRecording(path, LayoutOf(file), 3);
  ASSERT_TRUE(withLayout);
  ExpectSameResults(*single, *withLayout);
}

TEST(RecordingAnalysis, ResultsAreReadableWhileThePassRuns) {
  const std::string path = WriteRepeatedRecording("analysis_partial.dat", 20, 60);
  const auto reference = Analyze(path, 1);
  ASSERT_TRUE(reference);
  RecordingAnalysis analysis;
  std::atomic<std::int32_t> lastDone{-1};
  std::atomic<bool> progressWentBack{false};
  std::atomic<int> finished{0};
  RecordingAnalysis::Options options;
  options.Threads = 2;
  options.Progress = [&](std::int32_t done, std::int32_t total) {
    if (done < lastDone.load() || total != 1200) progressWentBack = true;
    lastDone = done;
  };
  options.Finished = [&](PassState state) {
    if (state == PassState::Complete) ++finished;
  };
  analysis.Start(path, std::nullopt, options);
  // Read every record that is done as soon as it is, while the workers run.
  std::vector<bool> checked;
  std::int32_t checkedCount = 0;
  while (true) {
    const auto results = analysis.Results();
    if (!results) continue;
    checked.resize(static_cast<std::size_t>(results->IndexedRecords()));
    const bool ended = results->State() != PassState::Running;
    for (std::int32_t r = 0; r < results->IndexedRecords(); ++r) {
      if (checked[static_cast<std::size_t>(r)] || !results->RecordDone(r)) continue;
      ASSERT_EQ(ResultOf(*results, r), ResultOf(*reference, r)) << "record " << r;
      checked[static_cast<std::size_t>(r)] = true;
      ++checkedCount;
    }
    if (ended) break;
  }
  analysis.Wait();
  EXPECT_EQ(checkedCount, 1200);
  EXPECT_EQ(analysis.Results()->State(), PassState::Complete);
  EXPECT_EQ(analysis.Results()->RecordsDone(), 1200);
  EXPECT_EQ(lastDone.load(), 1200);
  EXPECT_FALSE(progressWentBack.load());
  EXPECT_EQ(finished.load(), 1);
}

TEST(RecordingAnalysis, CancelStopsThePassAndAnotherFileCanBeOpened) {
  const std::string first = WriteRepeatedRecording("analysis_cancel_a.dat", 20, 100);
  const std::string second = WriteVariedRecording("analysis_cancel_b.dat", 40);
  const auto reference = Analyze(first, 1);
  ASSERT_TRUE(reference);

  RecordingAnalysis analysis;
  std::atomic<bool> cancelReturned{false};
  std::atomic<int> lateCallbacks{0};
  std::atomic<int> finishedCalls{0};
  RecordingAnalysis::Options options;
  options.Threads = 2;
  options.Progress = [&](std::int32_t, std::int32_t) {
    if (cancelReturned) ++lateCallbacks;
  };
  options.Finished = [&](PassState) { ++finishedCalls; };

  // Cancel right away, during the scan or the first records.
  analysis.Start(first, std::nullopt, options);
  analysis.Cancel();
  cancelReturned = true;
  if (const auto cancelled = analysis.Results()) {
    EXPECT_EQ(cancelled->State(), PassState::Cancelled);
  }
  EXPECT_EQ(finishedCalls.load(), 0);

  // Cancel after some records are done: what is done is right.
  cancelReturned = false;
  recording::RecordingFile file;
  ASSERT_TRUE(file.OpenRecording(first));
  analysis.Start(first, LayoutOf(file), options);
  const auto partial = analysis.Results();
  ASSERT_TRUE(partial);
  while (partial->RecordsDone() < 64 && partial->State() == PassState::Running) {
  }
  analysis.Cancel();
  cancelReturned = true;
  EXPECT_EQ(partial->State(), PassState::Cancelled);
  for (std::int32_t r = 0; r < partial->IndexedRecords(); ++r) {
    if (partial->RecordDone(r)) {
      ASSERT_EQ(ResultOf(*partial, r), ResultOf(*reference, r)) << r;
    }
  }

  // Opening another file while a pass runs cancels it.
  cancelReturned = false;
  analysis.Start(first, std::nullopt, options);
  const auto replaced = analysis.Results();
  RecordingAnalysis::Options quiet = options;  // the new pass reports nothing
  quiet.Progress = nullptr;
  analysis.Start(second, std::nullopt, quiet);
  cancelReturned = true;
  if (replaced) {
    EXPECT_EQ(replaced->State(), PassState::Cancelled);
  }
  analysis.Wait();
  const auto results = analysis.Results();
  ASSERT_TRUE(results);
  EXPECT_EQ(results->State(), PassState::Complete);
  ExpectSameResults(*results, *Analyze(second, 1));
  EXPECT_EQ(lateCallbacks.load(), 0);

  // Destroyed while running: the destructor cancels and joins.
  {
    RecordingAnalysis dropped;
    dropped.Start(first, std::nullopt, {});
  }
}

TEST(RecordingAnalysis, DamagedFilesCoverTheIndexedRecords) {
  const std::string path = WriteVariedRecording("analysis_truncated.dat", 25);
  // Cut the last record short: it is not indexed, the others are analysed.
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  bytes.resize(bytes.size() - 10);
  const std::string cut = testing_data::TestTempPath("analysis_cut.dat");
  std::ofstream(cut, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  const auto results = Analyze(cut, 2);
  ASSERT_TRUE(results);
  EXPECT_EQ(results->State(), PassState::Complete);
  EXPECT_EQ(results->IndexedRecords(), 24);
  EXPECT_EQ(results->RecordCount(), 25);
  const auto whole = Analyze(path, 1);
  for (std::int32_t r = 0; r < 24; ++r) ASSERT_EQ(ResultOf(*results, r), ResultOf(*whole, r));

  // An empty file, a file of nothing but the count, and one that is missing.
  const std::string empty = testing_data::TestTempPath("analysis_empty.dat");
  std::ofstream(empty, std::ios::binary).write("\x05\0\0\0", 4);
  const auto none = Analyze(empty, 2);
  ASSERT_TRUE(none);
  EXPECT_EQ(none->State(), PassState::Complete);
  EXPECT_EQ(none->IndexedRecords(), 0);

  std::string error;
  EXPECT_FALSE(AnalyzeRecording(testing_data::TestTempPath("no_such_file.dat"), std::nullopt, 2, &error));
  EXPECT_NE(error.find("cannot open"), std::string::npos) << error;
}

TEST(RecordingAnalysis, MemoryStaysWithin48BytesPerFramePlus300PerRecord) {
  const std::string path = WriteRepeatedRecording("analysis_memory.dat", 20, 10);
  const auto results = Analyze(path, 2);
  ASSERT_TRUE(results);
  std::int64_t frames = 0;
  for (std::int32_t r = 0; r < results->IndexedRecords(); ++r) frames += results->FramesInRecord(r);
  EXPECT_LE(results->MemoryBytes(), 48 * frames + 300 * std::int64_t{results->IndexedRecords()});
  EXPECT_LE(sizeof(FrameFigures), 48u);
}

}  // namespace
}  // namespace sonalyt::analysis
