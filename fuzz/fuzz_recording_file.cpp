// A whole recording file from arbitrary bytes, opened and walked through the
// viewer session: scan, every indexed record by a jump with all its frames,
// loads past the index, previous-record moves, the note records, playback to
// the end and the report pictures. Besides memory errors it stops on any
// broken invariant of the index, the note list or a loaded record.

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

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
  return 0;
}
