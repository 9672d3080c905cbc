// A whole recording file from arbitrary bytes, opened and walked through the
// viewer session: scan, every indexed record by a jump with all its frames,
// loads past the index, previous-record moves, the note records, playback to
// the end and the report pictures; then the whole-recording analysis of the
// same bytes, with two workers. Besides memory errors it stops on any broken
// invariant of the index, the note list, a loaded record or the analysis.

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "analysis/bscan.h"
#include "analysis/record_reader.h"
#include "analysis/recording_analysis.h"
#include "session/viewer_session.h"
#include "tests/damaged/session_walk.h"

namespace {

// The input is handed to the session as a file: an in-memory file whose
// /proc path the session opens like any other, rewritten for every input.
class MemoryFile {
 public:
  MemoryFile() {
    fd_ = memfd_create("recording.dat", 0);
    if (fd_ < 0) {
      std::perror("memfd_create");
      std::abort();
    }
    path_ = "/proc/self/fd/" + std::to_string(fd_);
  }
  const std::string& Write(const std::uint8_t* data, std::size_t size) {
    if (ftruncate(fd_, 0) != 0) std::abort();
    std::size_t written = 0;
    while (written < size) {
      const ssize_t n = pwrite(fd_, data + written, size - written, static_cast<off_t>(written));
      if (n <= 0) std::abort();
      written += static_cast<std::size_t>(n);
    }
    return path_;
  }

 private:
  int fd_ = -1;
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
  static MemoryFile* file = new MemoryFile();
  const std::string& path = file->Write(data, size);

  // A fresh session per input, and a second open of the same bytes in one
  // session that already holds a recording, as the window's File, Open does.
  sonalyt::session::ViewerSession session;
  for (int pass = 0; pass < 2; ++pass) {
    if (!session.OpenRecording(path)) {
      std::fprintf(stderr, "fuzz_recording_file: cannot open %s\n", path.c_str());
      std::abort();
    }
    const auto indexSize = static_cast<std::int32_t>(session.File().RecordIndex().size());
    const sonalyt::damaged::WalkLog log =
        sonalyt::damaged::WalkRecording(session, (indexSize + 4) * 30);
    if (!log.Faults.empty()) {
      for (const std::string& fault : log.Faults) std::fprintf(stderr, "fault: %s\n", fault.c_str());
      std::abort();
    }
  }
  CheckAnalysis(path, session.File());
  return 0;
}
