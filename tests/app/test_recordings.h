// Small recordings for the window tests, written with the project's writer.
// Every frame carries its identity in Reading0 (record * 100 + frame), so a
// test reads which frame is on screen from the window's FrameReadings.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include <QString>

namespace sonalyt::app::testing {

struct RecordingShape {
  std::int32_t Records = 3;
  std::int32_t Frames = 5;  // frames per record
  // GBK note texts by record; those records carry a parameter area, as
  // does record 0.
  std::map<std::int32_t, std::string> Notes;
  // Bytes cut off the end of the file (a damaged last record).
  std::int32_t CutBytes = 0;
};

// Writes the recording to path; false when the file could not be written.
bool WriteRecording(const QString& path, const RecordingShape& shape);

// The identity of a frame as its Reading0.
constexpr std::int32_t FrameId(std::int32_t record, std::int32_t frame) {
  return record * 100 + frame;
}

}  // namespace sonalyt::app::testing
