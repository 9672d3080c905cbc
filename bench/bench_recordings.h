// Realistic recordings for the benchmarks: a continuous angle-beam scan of
// 26-frame records with a parameter area every 10 records and an operator
// note every 600, built with the project's recording writer.
#pragma once

#include <cstdint>
#include <vector>

#include "recording/parameter_block.h"
#include "tools/recording_writer.h"

namespace sonalyt::bench {

inline constexpr std::int32_t kBenchFramesPerRecord = 26;
inline constexpr std::int32_t kBenchParameterEvery = 10;  // records
inline constexpr std::int32_t kBenchNoteEvery = 600;      // records

// Records in one minute, one hour and ten hours of recording (a record a second).
inline constexpr std::int32_t kRecordsOneMinute = 60;
inline constexpr std::int32_t kRecordsOneHour = 3600;
inline constexpr std::int32_t kRecordsTenHours = 36000;

// One encoded record, with the bytes it decodes to.
struct BenchRecord {
  std::int32_t ParamLength = 0;
  std::vector<std::uint8_t> Body;
  std::vector<std::uint8_t> Decoded;
};

// The instrument settings of the scan: DAC curve on with six lines, gate A
// along the curve, gate B on, envelope on: the heaviest picture a frame asks for.
recording::ParameterBlock BenchBlock(std::int32_t record);

// Records 0 .. count-1 of the scan, deterministic. Every record is distinct:
// the noise runs on, and a defect echo rises and falls every 200 records.
// Aborts when a body does not fit the packed buffer (the format's limit).
std::vector<BenchRecord> MakeRecordPool(std::int32_t count);

// A recording of `records` records, record r being pool[r % pool.size()];
// the pool's size must be a multiple of the parameter and note periods.
tools::RecordingWriter RecordingFromPool(const std::vector<BenchRecord>& pool,
                                         std::int32_t records);

}  // namespace sonalyt::bench
