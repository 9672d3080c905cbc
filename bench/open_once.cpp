// Opens each recording named on the command line once (the scan that builds
// the index and the notes) and prints its record and note counts: a whole
// process to time against `cat FILE > /dev/null` of the same files, where
// the increase from a short to a long recording cancels the start-up.
//
//   bench_open_once FILE.dat [FILE.dat ...]

#include <cstdio>
#include <string>

#include "recording/recording_file.h"

int main(int argc, char** argv) {
  sonalyt::recording::RecordingFile file;
  for (int i = 1; i < argc; ++i) {
    std::string error;
    if (!file.OpenRecording(argv[i], &error)) {
      std::fprintf(stderr, "bench_open_once: %s\n", error.c_str());
      return 1;
    }
    std::printf("%s: %zu records, %zu notes\n", argv[i], file.RecordIndex().size(),
                file.NoteRecords().size());
  }
  return 0;
}
