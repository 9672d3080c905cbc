// The whole-recording analysis against one thread that only decodes.
//
//   bench_analysis [benchmark flags] --pass=FILE.dat
//
// BM_DecodeEveryRecord: one thread reads every indexed record of FILE.dat
//   (header and body, through 1 MB reads of the file) and decodes its body;
//   nothing else. The reference point of the pass.
// BM_AnalysisPass: the whole pass (every frame of every record analysed)
//   with one worker per core, given the layout of the opened file, as the
//   viewer starts it.
// BM_AnalysisPassWithScan: the same pass scanning the file itself first.
// BM_AnalysisPassOneWorker: the pass with a single worker, to show what the
//   analysis adds to decoding.
// All in wall-clock time, with the file in the page cache; the counter
// cpu_ms is the processor time of the whole process (every thread) per
// iteration, which shows the work done whatever else runs on the machine.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "analysis/recording_analysis.h"
#include "recording/record_codec.h"
#include "recording/record_format.h"
#include "recording/recording_file.h"

namespace {

namespace recording = sonalyt::recording;
namespace analysis = sonalyt::analysis;

constexpr std::size_t kReadBytes = std::size_t{1} << 20;

using recording::LoadInt32;

// Processor time of the process so far, all threads, in milliseconds.
double ProcessCpuMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto ms = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
  };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

struct Input {
  std::string path;
  analysis::RecordingLayout layout;
  std::int64_t frames = 0;
};

void BM_DecodeEveryRecord(benchmark::State& state, const Input* input) {
  recording::RecordCodec codec;
  std::vector<std::uint8_t> chunk(kReadBytes + recording::kRecordHeaderBytes +
                                  recording::kPackedBufferBytes);
  std::array<std::uint8_t, recording::kRecordBufferBytes> destination{};
  std::int64_t decoded = 0;
  const double cpuStart = ProcessCpuMs();
  for (auto _ : state) {
    std::FILE* file = std::fopen(input->path.c_str(), "rb");
    if (!file) {
      state.SkipWithError("cannot open the recording");
      return;
    }
    std::setvbuf(file, nullptr, _IONBF, 0);
    decoded = 0;
    // The window [start, start + held) of the file is in chunk.
    std::int64_t start = 0;
    std::size_t held = 0;
    for (const recording::RecordIndexEntry& entry : input->layout.Index) {
      if (entry.Offset + entry.Length > start + static_cast<std::int64_t>(held)) {
        std::fseek(file, entry.Offset, SEEK_SET);
        start = entry.Offset;
        held = std::fread(chunk.data(), 1, kReadBytes, file);
      }
      const std::uint8_t* header = chunk.data() + (entry.Offset - start);
      const auto bodyLength = static_cast<std::size_t>(LoadInt32(header));
      decoded += codec.DecodeRecordBody(
          std::span(header + recording::kRecordHeaderBytes, bodyLength), destination);
      benchmark::ClobberMemory();
    }
    std::fclose(file);
  }
  state.counters["cpu_ms"] = (ProcessCpuMs() - cpuStart) / static_cast<double>(state.iterations());
  state.counters["records"] = static_cast<double>(input->layout.Index.size());
  state.counters["decoded_MB"] = static_cast<double>(decoded) / 1e6;
}

void BM_AnalysisPass(benchmark::State& state, const Input* input, bool scan, std::int32_t threads) {
  std::int32_t done = 0;
  const double cpuStart = ProcessCpuMs();
  for (auto _ : state) {
    auto results = analysis::AnalyzeRecording(
        input->path, scan ? std::nullopt : std::optional(input->layout), threads);
    if (!results) {
      state.SkipWithError("the pass failed");
      return;
    }
    done = results->RecordsDone();
    benchmark::DoNotOptimize(results.get());
  }
  state.counters["cpu_ms"] = (ProcessCpuMs() - cpuStart) / static_cast<double>(state.iterations());
  state.counters["records"] = done;
  state.counters["frames"] = static_cast<double>(input->frames);
}

std::string FlagValue(const char* arg, const char* name) {
  const std::size_t n = std::strlen(name);
  if (std::strncmp(arg, name, n) == 0 && arg[n] == '=') return arg + n + 1;
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  static Input input;
  for (int i = 1; i < argc; ++i) {
    if (auto v = FlagValue(argv[i], "--pass"); !v.empty()) {
      input.path = v;
    } else {
      std::fprintf(stderr, "bench_analysis: unknown argument %s\n", argv[i]);
      return 1;
    }
  }
  if (input.path.empty()) {
    std::fprintf(stderr, "usage: bench_analysis [benchmark flags] --pass=FILE.dat\n");
    return 1;
  }
  recording::RecordingFile file;
  if (!file.OpenRecording(input.path)) {
    std::fprintf(stderr, "bench_analysis: cannot open %s\n", input.path.c_str());
    return 2;
  }
  input.layout = analysis::LayoutOf(file);
  // The frames the pass covers, counted once by a pass outside the timing.
  const auto once = analysis::AnalyzeRecording(input.path, input.layout, 0);
  if (!once) return 2;
  for (std::int32_t r = 0; r < once->IndexedRecords(); ++r) input.frames += once->FramesInRecord(r);

  const std::string name = input.path.substr(input.path.find_last_of('/') + 1);
  benchmark::RegisterBenchmark(("BM_DecodeEveryRecord/" + name).c_str(), BM_DecodeEveryRecord,
                               &input)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark(("BM_AnalysisPass/" + name).c_str(), BM_AnalysisPass, &input, false, 0)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark(("BM_AnalysisPassWithScan/" + name).c_str(), BM_AnalysisPass,
                               &input, true, 0)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark(("BM_AnalysisPassOneWorker/" + name).c_str(), BM_AnalysisPass,
                               &input, false, 1)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
