#include "test_recordings.h"

#include <fstream>
#include <span>
#include <vector>

#include <QFile>

#include "tools/recording_writer.h"

namespace sonalyt::app::testing {
namespace {

recording::ParameterBlock Settings(std::int32_t record) {
  recording::ParameterBlock block;
  recording::SetBitField(block, "ProbeType", 1);  // angle probe
  recording::SetBitField(block, "RangeMode", 2);  // range along the sound path
  block.Range = static_cast<std::uint32_t>(2000 + 100 * record);  // 200.0 mm, 210.0 mm, ...
  block.Velocity = 3240;
  block.ProbeAngle = 450;
  block.ProbeFrequency = 250;
  block.CrystalSize = (13 << 8) | 13;
  block.RejectLevel = 20;
  block.BaseGain = static_cast<std::uint16_t>(400 + record);
  block.GateAStart = 40;
  block.GateAWidth = 60;
  block.GateALevel = 80;
  return block;
}

tools::FrameData Frame(std::int32_t record, std::int32_t frame) {
  tools::FrameData data;
  // An echo that wanders along the screen from frame to frame.
  const int peak = (20 + 9 * frame + 37 * record) % 260 + 10;
  for (int i = 0; i < recording::kFrameColumns; ++i) {
    const int distance = i > peak ? i - peak : peak - i;
    data.Samples[static_cast<std::size_t>(i)] =
        static_cast<std::uint8_t>(distance < 8 ? 180 - 20 * distance : 10 + (i % 3));
  }
  data.Reading0 = FrameId(record, frame);
  return data;
}

}  // namespace

bool WriteRecording(const QString& path, const RecordingShape& shape) {
  tools::RecordingWriter writer;
  for (std::int32_t r = 0; r < shape.Records; ++r) {
    tools::RecordSpec content;
    for (std::int32_t f = 0; f < shape.Frames; ++f) content.Frames.push_back(Frame(r, f));
    const auto note = shape.Notes.find(r);
    if (r == 0 || note != shape.Notes.end()) content.Parameters = Settings(r);
    if (note != shape.Notes.end()) {
      const auto* bytes = reinterpret_cast<const std::uint8_t*>(note->second.data());
      content.NoteUnits = tools::NoteUnits(std::span(bytes, note->second.size()));
    }
    writer.AddRecord(content);
  }
  std::vector<std::uint8_t> bytes = writer.Bytes();
  bytes.resize(bytes.size() - static_cast<std::size_t>(shape.CutBytes));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  const auto size = static_cast<qint64>(bytes.size());
  return file.write(reinterpret_cast<const char*>(bytes.data()), size) == size;
}

}  // namespace sonalyt::app::testing
