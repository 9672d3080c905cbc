// A whole recording file from arbitrary bytes, opened and walked through the
// viewer session: scan, every indexed record by a jump with all its frames,
// loads past the index, previous-record moves, the note records, playback to
// the end and the report pictures. Besides memory errors it stops on any
// broken invariant of the index, the note list or a loaded record.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "recording/byte_source.h"
#include "session/viewer_session.h"
#include "tests/damaged/session_walk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A fresh session per input, and a second open of the same bytes in one
  // session that already holds a recording, as the window's File, Open does.
  sonalyt::session::ViewerSession session;
  for (int pass = 0; pass < 2; ++pass) {
    auto source = std::make_unique<sonalyt::recording::MemoryByteSource>(
        std::vector<std::uint8_t>(data, data + size));
    // Only an input too short to hold the record count is refused.
    const bool opened = session.OpenRecording(std::move(source));
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
  return 0;
}
