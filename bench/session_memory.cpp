// Peak resident memory of opening a recording and visiting every record
// through a ViewerSession: each record is loaded and its first frame drawn
// (onto a canvas that keeps nothing). Prints one line:
//   records=N notes=M baseline_kb=B peak_kb=P
// where baseline is the peak before opening. Reads /proc/self/status (Linux).
//
//   bench_session_memory FILE.dat

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "display/canvas.h"
#include "display/picture_sizes.h"
#include "session/viewer_session.h"

namespace {

// Peak resident set size (VmHWM) in kB; -1 when unknown.
long PeakResidentKb() {
  std::FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return -1;
  char line[256];
  long kb = -1;
  while (std::fgets(line, sizeof line, f)) {
    if (std::strncmp(line, "VmHWM:", 6) == 0) kb = std::strtol(line + 6, nullptr, 10);
  }
  std::fclose(f);
  return kb;
}

class DiscardingCanvas : public sonalyt::display::Canvas {
 public:
  std::int32_t Width() const override { return sonalyt::display::kWavePicture.Width; }
  std::int32_t Height() const override { return sonalyt::display::kWavePicture.Height; }
  void FillRect(std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                sonalyt::display::Color) override {}
  void SetPen(sonalyt::display::Color, std::int32_t, sonalyt::display::PenStyle) override {}
  void MoveTo(sonalyt::display::Point) override {}
  void LineTo(sonalyt::display::Point) override {}
  void Polyline(std::span<const sonalyt::display::Point>) override {}
  void TextOut(sonalyt::display::Point, std::string_view, sonalyt::display::Color) override {}
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: bench_session_memory FILE.dat\n");
    return 1;
  }
  const long baselineKb = PeakResidentKb();
  sonalyt::session::ViewerSession session;
  std::string error;
  if (!session.OpenRecording(argv[1], &error)) {
    std::fprintf(stderr, "bench_session_memory: %s\n", error.c_str());
    return 1;
  }
  DiscardingCanvas canvas;
  const auto records = static_cast<std::int32_t>(session.File().RecordIndex().size());
  for (std::int32_t r = 0; r < records; ++r) {
    session.CurrentRecord = r;
    session.LoadRecord();
    session.DrawFrame(session.CurrentFrame, canvas);
  }
  std::printf("records=%d notes=%zu baseline_kb=%ld peak_kb=%ld\n", records,
              session.File().NoteRecords().size(), baselineKb, PeakResidentKb());
  return 0;
}
