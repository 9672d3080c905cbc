// Record decoding throughput and the opening scan of whole recordings.
//
//   bench_recording [benchmark flags] --decode=FILE.dat [--expect=DECODED.bin]
//                   [--open=FILE.dat ...]
//
// --decode: decodes the bodies of the first 1000 records of FILE.dat, once
//   checked against --expect (their decoded bytes, concatenated); the rate is
//   in bytes of decoded output per second of wall-clock time. The tail walk
//   of the open scan over the same bodies, in records per second.
// --open: OpenRecording (the scan that builds the index and the notes) of
//   each file, one benchmark per file, in wall-clock time.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "recording/record_codec.h"
#include "recording/record_format.h"
#include "recording/recording_file.h"

namespace {

using sonalyt::recording::kRecordBufferBytes;
using sonalyt::recording::RecordCodec;
using sonalyt::recording::RecordingFile;

constexpr std::size_t kDecodedRecords = 1000;

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "bench_recording: cannot read %s\n", path.c_str());
    std::exit(2);
  }
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::int32_t ReadInt32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | bytes[at + static_cast<std::size_t>(i)];
  return static_cast<std::int32_t>(v);
}

// The bodies of the first `count` records of a recording file.
std::vector<std::vector<std::uint8_t>> RecordBodies(const std::string& path, std::size_t count) {
  const auto file = ReadWholeFile(path);
  std::vector<std::vector<std::uint8_t>> bodies;
  std::size_t at = sonalyt::recording::kFirstRecordOffset;
  while (bodies.size() < count && at + sonalyt::recording::kRecordHeaderBytes <= file.size()) {
    const auto bodyLength = static_cast<std::size_t>(ReadInt32(file, at));
    at += sonalyt::recording::kRecordHeaderBytes;
    if (at + bodyLength > file.size()) break;
    bodies.emplace_back(file.begin() + static_cast<std::ptrdiff_t>(at),
                        file.begin() + static_cast<std::ptrdiff_t>(at + bodyLength));
    at += bodyLength;
  }
  return bodies;
}

struct DecodeInput {
  std::vector<std::vector<std::uint8_t>> bodies;
  std::int64_t decodedBytes = 0;
};

DecodeInput PrepareDecode(const std::string& path, const std::string& expectPath) {
  DecodeInput input{RecordBodies(path, kDecodedRecords), 0};
  RecordCodec codec;
  std::array<std::uint8_t, kRecordBufferBytes> destination{};
  std::vector<std::uint8_t> all;
  for (const auto& body : input.bodies) {
    const std::int32_t n = codec.DecodeRecordBody(body, destination);
    all.insert(all.end(), destination.begin(), destination.begin() + n);
  }
  input.decodedBytes = static_cast<std::int64_t>(all.size());
  if (!expectPath.empty() && all != ReadWholeFile(expectPath)) {
    std::fprintf(stderr, "bench_recording: decoded records differ from %s\n",
                 expectPath.c_str());
    std::exit(3);
  }
  return input;
}

void BM_DecodeRecordBody(benchmark::State& state, const DecodeInput* input) {
  RecordCodec codec;
  std::array<std::uint8_t, kRecordBufferBytes> destination{};
  for (auto _ : state) {
    for (const auto& body : input->bodies) {
      benchmark::DoNotOptimize(codec.DecodeRecordBody(body, destination));
      benchmark::ClobberMemory();
    }
  }
  state.SetBytesProcessed(state.iterations() * input->decodedBytes);
  state.counters["records"] = static_cast<double>(input->bodies.size());
}

// The open scan's walk of a record with a parameter area: its decoded
// length and the bytes of the parameter area and note work area, for each
// body of the decode input, cutting the codes 16 at a time where the
// processor can and one by one.
void BM_DecodeRecordTail(benchmark::State& state, const DecodeInput* input,
                         RecordCodec::CodeCutting cutting) {
  RecordCodec codec(cutting);
  if (cutting == RecordCodec::CodeCutting::Fastest && !codec.CutsWide()) {
    state.SkipWithError("this processor cuts codes one by one only");
    return;
  }
  constexpr std::int32_t kParameterAndNoteBytes = 418;
  std::array<std::uint8_t, kRecordBufferBytes> destination{};
  for (auto _ : state) {
    for (const auto& body : input->bodies) {
      benchmark::DoNotOptimize(codec.DecodeRecordTail(body, kParameterAndNoteBytes,
                                                      kParameterAndNoteBytes, destination));
      benchmark::ClobberMemory();
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(input->bodies.size()));
}

void BM_OpenRecording(benchmark::State& state, const std::string& path) {
  RecordingFile file;
  for (auto _ : state) {
    if (!file.OpenRecording(path)) {
      state.SkipWithError("cannot open the recording");
      return;
    }
    benchmark::DoNotOptimize(file.RecordIndex().data());
  }
  state.counters["records"] = static_cast<double>(file.RecordIndex().size());
  state.counters["notes"] = static_cast<double>(file.NoteRecords().size());
}

std::string FlagValue(const char* arg, const char* name) {
  const std::size_t n = std::strlen(name);
  if (std::strncmp(arg, name, n) == 0 && arg[n] == '=') return arg + n + 1;
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  std::string decodePath, expectPath;
  std::vector<std::string> openPaths;
  for (int i = 1; i < argc; ++i) {
    if (auto v = FlagValue(argv[i], "--decode"); !v.empty()) {
      decodePath = v;
    } else if (auto e = FlagValue(argv[i], "--expect"); !e.empty()) {
      expectPath = e;
    } else if (auto o = FlagValue(argv[i], "--open"); !o.empty()) {
      openPaths.push_back(o);
    } else {
      std::fprintf(stderr, "bench_recording: unknown argument %s\n", argv[i]);
      return 1;
    }
  }

  static DecodeInput decodeInput;
  if (!decodePath.empty()) {
    decodeInput = PrepareDecode(decodePath, expectPath);
    benchmark::RegisterBenchmark("BM_DecodeRecordBody", BM_DecodeRecordBody, &decodeInput)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("BM_DecodeRecordTail/wide", BM_DecodeRecordTail, &decodeInput,
                                 RecordCodec::CodeCutting::Fastest)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("BM_DecodeRecordTail/one_by_one", BM_DecodeRecordTail,
                                 &decodeInput, RecordCodec::CodeCutting::OneByOne)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
  for (const auto& path : openPaths) {
    const std::string name = "BM_OpenRecording/" + path.substr(path.find_last_of('/') + 1);
    benchmark::RegisterBenchmark(name.c_str(), BM_OpenRecording, path)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
