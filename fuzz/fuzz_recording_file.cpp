// A whole recording file from arbitrary bytes, opened and walked through the
// viewer session: scan, every indexed record by a jump with all its frames,
// loads past the index, previous-record moves, the note records, playback to
// the end and the report pictures; then the whole-recording analysis of the
// same bytes, with two workers. Besides memory errors it stops on any broken
// invariant of the index, the note list, a loaded record or the analysis.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "analysis/bscan.h"
#include "analysis/record_reader.h"
#include "analysis/recording_analysis.h"
#include "recording/byte_source.h"
#include "session/viewer_session.h"
#include "tests/damaged/session_walk.h"

namespace {

// The analysis opens the recording by path, as its workers do: the input
// is also written to a file of this process's own, rewritten for every input.
class InputFile {
 public:
  InputFile() {
    std::random_device random;
    path_ = (std::filesystem::temp_directory_path() /
             ("fuzz_recording_file_" + std::to_string(random()) + ".dat"))
                .string();
  }
  ~InputFile() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  const std::string& Write(const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) {
      std::fprintf(stderr, "fuzz_recording_file: cannot write %s\n", path_.c_str());
      std::abort();
    }
    return path_;
  }

 private:
  std::string path_;
};

[[noreturn]] void AnalysisFault(const char* what, std::int32_t record) {
  std::fprintf(stderr, "analysis fault: %s (record %d)\n", what, record);
  std::abort();
}

// The pass covers exactly the indexed records, every figure within its
// definition's range, and the on-demand decode agrees with it.
void CheckAnalysis(const std::string& path, const sonalyt::recording::RecordingFile& file) {
  namespace analysis = sonalyt::analysis;
  const auto results = analysis::AnalyzeRecording(path, analysis::LayoutOf(file), 2);
  if (!results || results->State() != analysis::PassState::Complete) AnalysisFault("not complete", -1);
  const auto indexed = static_cast<std::int32_t>(file.RecordIndex().size());
  if (results->IndexedRecords() != indexed || results->RecordsDone() != indexed) {
    AnalysisFault("record count", -1);
  }
  analysis::RecordReader reader(file.RecordIndex());
  if (!reader.Open(path)) AnalysisFault("reader cannot open", -1);
  std::vector<analysis::AmplitudeColumn> columns;
  for (std::int32_t r = 0; r < indexed; ++r) {
    if (!results->RecordDone(r)) AnalysisFault("record not done", r);
    const auto frames = results->Frames(r);
    if (static_cast<std::int32_t>(frames.size()) != results->FramesInRecord(r)) AnalysisFault("frames", r);
    for (const analysis::FrameFigures& f : frames) {
      if (f.GateAPeak > 200 || f.GateBPeak > 200 || f.GateAPeakColumn < -1 ||
          f.GateAPeakColumn >= analysis::kScreenColumns || (f.GateAPeakColumn < 0 && f.GateAPeak != 0)) {
        AnalysisFault("figure out of range", r);
      }
    }
    const std::int32_t block = results->BlockRecord(r);
    if (block != -1 && block != r && block != results->GoverningRecord(r)) AnalysisFault("block record", r);
    if (r < 64) {
      columns.clear();
      if (!reader.RecordAmplitudes(r, columns) || columns.size() != frames.size()) {
        AnalysisFault("on-demand decode", r);
      }
      if (reader.GoverningBlockOf(r).BlockRecord != block) AnalysisFault("governing block", r);
    }
  }
  const auto image = analysis::RecordingBScan(*results, 64, 32);
  if (image.Pixels.size() != 64u * 32u) AnalysisFault("B-scan size", -1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A fresh session per input, and a second open of the same bytes in one
  // session that already holds a recording, as the window's File, Open does.
  sonalyt::session::ViewerSession session;
  for (int pass = 0; pass < 2; ++pass) {
    // Only an input too short to hold the record count is refused.
    const bool opened = session.OpenRecording(std::make_unique<sonalyt::recording::MemoryByteSource>(
        std::vector<std::uint8_t>(data, data + size)));
    if (opened != (size >= sonalyt::recording::kRecordCountBytes)) {
      std::fprintf(stderr, "fuzz_recording_file: %zu bytes %s\n", size,
                   opened ? "opened" : "refused");
      std::abort();
    }
    if (!opened) return 0;
    const auto indexSize = static_cast<std::int32_t>(session.File().RecordIndex().size());
    const sonalyt::damaged::WalkLog log =
        sonalyt::damaged::WalkRecording(session, (indexSize + 4) * 30);
    if (!log.Faults.empty()) {
      for (const std::string& fault : log.Faults) std::fprintf(stderr, "fault: %s\n", fault.c_str());
      std::abort();
    }
  }
  static InputFile file;
  CheckAnalysis(file.Write(data, size), session.File());
  return 0;
}
