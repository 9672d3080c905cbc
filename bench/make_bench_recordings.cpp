// Writes the inputs of the benchmarks into a directory:
//   1min.dat, 1h.dat, 10h.dat   recordings of 60, 3600 and 36000 records
//   decoded-1000.bin            the decoded bytes of records 0..999, concatenated
//
//   make_bench_recordings DIR

#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_recordings.h"

namespace {

// Distinct records before the recording repeats itself: twenty minutes.
constexpr std::int32_t kPoolRecords = 1200;
constexpr std::int32_t kDecodedRecords = 1000;

bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_bench_recordings DIR\n");
    return 1;
  }
  const std::string dir = argv[1];
  const auto pool = sonalyt::bench::MakeRecordPool(kPoolRecords);

  std::vector<std::uint8_t> decoded;
  for (std::int32_t r = 0; r < kDecodedRecords; ++r) {
    decoded.insert(decoded.end(), pool[r].Decoded.begin(), pool[r].Decoded.end());
  }
  bool ok = WriteBytes(dir + "/decoded-1000.bin", decoded);

  const struct {
    const char* name;
    std::int32_t records;
  } recordings[] = {{"1min.dat", sonalyt::bench::kRecordsOneMinute},
                    {"1h.dat", sonalyt::bench::kRecordsOneHour},
                    {"10h.dat", sonalyt::bench::kRecordsTenHours}};
  for (const auto& r : recordings) {
    ok = sonalyt::bench::RecordingFromPool(pool, r.records).WriteFile(dir + "/" + r.name) && ok;
  }
  if (!ok) {
    std::fprintf(stderr, "make_bench_recordings: cannot write into %s\n", dir.c_str());
    return 1;
  }
  return 0;
}
